// The browser module: TWebBrowser on the web engine's view. Built as a
// module of its own and loaded on first need (see web_browser.h).

#include "gui/webcopy/web_browser.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QStandardPaths>
#include <QUrl>
#include <QVariantList>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace takton::gui {

namespace {

// Runs in the page's isolated world, so that the page's own scripts can
// neither see it nor change what it returns. A document is taken by its body
// whenever it has one; without one it is either an HTML document still
// lacking its body or no HTML document at all.
const char *const kBodyScript = R"((function () {
    if (document.body)
        return ["html", document.body.outerHTML];
    return [document instanceof HTMLDocument ? "none" : "other"];
})())";

TBodyHtml BodyFromScriptResult(const QVariant &result) {
    const QVariantList parts = result.toList();
    const QString kind = parts.value(0).toString();
    TBodyHtml body;
    if (kind == QLatin1String("html")) {
        body.Result = TBodyHtml::Kind::Html;
        body.OuterHtml = parts.value(1).toString();
    } else if (kind == QLatin1String("other")) {
        body.Result = TBodyHtml::Kind::NotHtml;
    }
    return body;
}

// One profile for the run, kept on disk in the user's data folder: cookies
// (a consent banner once accepted), cache and site storage survive the
// program, as in the planner's own browser. Session cookies are kept too,
// since many consent banners set nothing else.
QWebEngineProfile *BrowserProfile() {
    static QWebEngineProfile *profile = [] {
        auto *made = new QWebEngineProfile(QStringLiteral("takton"), qApp);
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        made->setPersistentStoragePath(QDir(data).filePath(QStringLiteral("browser")));
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        made->setCachePath(QDir(cache).filePath(QStringLiteral("browser")));
        made->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        made->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
        // A page opened from a local file reads no other local file.
        made->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        return made;
    }();
    return profile;
}

class TEngineBrowser final : public TWebBrowser {
  public:
    explicit TEngineBrowser(QWidget *parent) : view_(new QWebEngineView(parent)) {
        view_->setObjectName(QStringLiteral("wbWebCopy"));
        auto *page = new QWebEnginePage(BrowserProfile(), view_);
        // There is one view: a link meant for a new window opens in it.
        QObject::connect(
            page, &QWebEnginePage::newWindowRequested, view_,
            [page](QWebEngineNewWindowRequest &request) { page->load(request.requestedUrl()); });
        QObject::connect(page, &QWebEnginePage::urlChanged, view_, [this](const QUrl &url) {
            if (addressChanged_)
                addressChanged_(url.toDisplayString());
        });
        view_->setPage(page);
    }
    ~TEngineBrowser() override {
        *alive_ = false;
        delete view_.data();
    }

    QWidget *View() override { return view_; }

    void Navigate(const QString &address) override {
        // An address without a scheme is taken the way an address bar would
        // take it (a host name or a local path).
        QUrl url(address);
        if (url.scheme().isEmpty())
            url = QUrl::fromUserInput(address);
        navigated_ = true;
        view_->load(url);
    }

    void TakeBodyHtml(std::function<void(const TBodyHtml &)> done) override {
        if (!navigated_ || !view_) {
            done(TBodyHtml{});
            return;
        }
        view_->page()->runJavaScript(
            QString::fromLatin1(kBodyScript), QWebEngineScript::ApplicationWorld,
            [alive = alive_, done = std::move(done)](const QVariant &result) {
                if (*alive)
                    done(BodyFromScriptResult(result));
            });
    }

    void SetAddressChanged(std::function<void(const QString &)> changed) override {
        addressChanged_ = std::move(changed);
    }

  private:
    QPointer<QWebEngineView> view_;
    std::function<void(const QString &)> addressChanged_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool navigated_ = false;
};

} // namespace

} // namespace takton::gui

extern "C" Q_DECL_EXPORT takton::gui::TWebBrowser *TaktonCreateWebBrowser(QWidget *parent) {
    return new takton::gui::TEngineBrowser(parent);
}
