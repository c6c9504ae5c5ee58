// The embedded browser as the web copy window uses it: where its module is
// found, what it keeps on disk, what local pages may read, and how it treats
// links meant for a new window.

#include "app/app_windows.h"
#include "gui/common/error_handler.h"
#include "gui/webcopy/web_browser.h"
#include "gui/webcopy/web_copy.h"
#include "support/controls.h"
#include "support/gui_fixture.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

using namespace takton;
using namespace takton::gui;
using takton::testing::Control;
using takton::testing::GuiFixture;
using takton::testing::WriteBytes;

#ifdef TAKTON_WEBENGINE
namespace {

// The body the browser holds now, waited for.
QString BodyOf(TWebBrowser &browser) {
    QString html;
    bool done = false;
    browser.TakeBodyHtml([&](const TBodyHtml &body) {
        html = body.OuterHtml;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return QStringLiteral("(keine Antwort)");
    return html;
}

} // namespace
#endif

class WebBrowserTest : public QObject {
    Q_OBJECT
  private slots:
#ifdef TAKTON_WEBENGINE
    void aLinkForANewWindowOpensInTheViewAndTheAddressFieldFollows() {
        // GIVEN a page that opens its link in a new window as soon as it is shown
        GuiFixture fx;
        QTemporaryDir pages;
        WriteBytes(pages.filePath("ziel.html"),
                   "<html><body><p>Fahrplan Linie 1</p></body></html>");
        WriteBytes(pages.filePath("start.html"),
                   "<html><body><a id='l' href='ziel.html' target='_blank'>Plan</a>"
                   "<script>document.getElementById('l').click();</script></body></html>");
        fmWebCopy->ShowBeside(nullptr);
        Control<QTabWidget>(fmWebCopy, "PageControl1")
            ->setCurrentWidget(Control<QWidget>(fmWebCopy, "tsWebsite"));
        TWebBrowser *browser = fmWebCopy->Browser();
        QVERIFY(browser);

        // WHEN the planner shows it
        QTest::keyClicks(Control<QLineEdit>(fmWebCopy, "leURL"),
                         QUrl::fromLocalFile(pages.filePath("start.html")).toString());
        QTest::mouseClick(Control<QPushButton>(fmWebCopy, "btShowURL"), Qt::LeftButton);

        // THEN the linked page is shown in the same view, and "URL: " names it
        QTRY_VERIFY_WITH_TIMEOUT(
            Control<QLineEdit>(fmWebCopy, "leURL")->text().endsWith("ziel.html"), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(BodyOf(*browser).contains("Fahrplan Linie 1"), 20000);
        QCOMPARE(fmWebCopy->findChildren<QWidget *>("wbWebCopy").size(), 1);
        fmWebCopy->close();
    }

    void aLocalPageReadsNoOtherLocalFileAndTheProfileIsKeptInTheDataFolder() {
        // GIVEN a local page that tries to read a file beside it
        QTemporaryDir pages;
        WriteBytes(pages.filePath("geheim.txt"), "Kennwort 4711");
        WriteBytes(pages.filePath("neugierig.html"),
                   "<html><body><p id='r'>wartet</p><script>"
                   "var x = new XMLHttpRequest();"
                   "x.onload = function () { document.getElementById('r').textContent ="
                   " 'gelesen: ' + x.responseText; };"
                   "x.onerror = function () { document.getElementById('r').textContent ="
                   " 'verweigert'; };"
                   "try { x.open('GET', 'geheim.txt'); x.send(); }"
                   " catch (e) { document.getElementById('r').textContent = 'verweigert'; }"
                   "</script></body></html>");
        QWidget host;
        QString why;
        std::unique_ptr<TWebBrowser> browser = CreateWebBrowser(&host, why);
        QVERIFY2(browser, qUtf8Printable(why));
        host.show();

        // WHEN it is shown
        browser->Navigate(QUrl::fromLocalFile(pages.filePath("neugierig.html")).toString());

        // THEN the file stays unread
        // (the script has answered once the paragraph no longer waits)
        QString body;
        QTRY_VERIFY_WITH_TIMEOUT(
            (body = BodyOf(*browser)).contains("id=\"r\"") && !body.contains("wartet"), 20000);
        QVERIFY2(body.contains("verweigert"), qUtf8Printable(body));
        QVERIFY(!body.contains("4711"));

        // AND the browser keeps its cookies and storage in the user's data folder
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        QVERIFY(data.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
        QTRY_VERIFY_WITH_TIMEOUT(QDir(data + "/browser").exists(), 10000);
    }
#else
    void aBuildWithoutTheBrowserSaysSoOnTheWebsitePage() {
        GuiFixture fx;
        fmWebCopy->ShowBeside(nullptr);
        Control<QTabWidget>(fmWebCopy, "PageControl1")
            ->setCurrentWidget(Control<QWidget>(fmWebCopy, "tsWebsite"));
        QVERIFY(!fmWebCopy->Browser());
        auto *missing = fmWebCopy->findChild<QLabel *>("lbNoBrowser");
        QVERIFY(missing && missing->isVisible());
        QVERIFY(missing->text().contains("keinen eingebetteten Browser"));
        QVERIFY(!Control<QPushButton>(fmWebCopy, "btShowURL")->isEnabled());
        // "HTML einfügen" stays, for pages copied in another browser.
        Control<QTabWidget>(fmWebCopy, "PageControl1")
            ->setCurrentWidget(Control<QWidget>(fmWebCopy, "tsTableGrid"));
        QVERIFY(Control<QPushButton>(fmWebCopy, "Button1")->isEnabled());
        fmWebCopy->close();
    }
#endif
};

int main(int argc, char **argv) {
    // The browser's data folder is a fresh one, not the user's.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
    PrepareWebBrowser();
    TaktonApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Takton"));
    app.setQuitOnLastWindowClosed(false);
    WebBrowserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_web_browser.moc"
