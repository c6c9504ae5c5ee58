#pragma once

// TWebBrowser: the embedded web browser of the web copy window.
//
// The web engine's libraries are large; linked into the program they would
// double its start-up time although most runs never show a web page. So the
// browser lives in a module of its own (takton_browser) that is loaded the
// first time the window shows its web page. The module offers one factory
// function; the window sees only this interface.

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace takton::gui {

// The body of the document the browser holds, as asked for by "HTML kopieren".
struct TBodyHtml {
    enum class Kind {
        NoDocument, // nothing loaded yet, or a document without a body element
        NotHtml,    // the document is no HTML document (an XML file, say)
        Html,
    };
    Kind Result = Kind::NoDocument;
    QString OuterHtml; // the body's start tag, its content and its end tag
};

class TWebBrowser {
  public:
    virtual ~TWebBrowser() = default;

    // The browser's view; it belongs to the parent given at creation and is
    // deleted with the browser.
    virtual QWidget *View() = 0;
    // Shows the page at this address; loading and its errors are the
    // browser's own business and show in its view.
    virtual void Navigate(const QString &address) = 0;
    // The body's outer HTML as the browser serialises the document it holds at
    // this moment, loaded completely or not. The page answers on the event loop,
    // so done runs shortly after the call (at once when there is no document),
    // and never after the browser has been deleted.
    virtual void TakeBodyHtml(std::function<void(const TBodyHtml &)> done) = 0;
    // Called with the address of the page shown whenever it changes (a link
    // followed, a redirection), so that the address field can follow it.
    virtual void SetAddressChanged(std::function<void(const QString &)> changed) = 0;
};

// The name of the module's factory: TWebBrowser *(QWidget *parent).
inline constexpr const char *kCreateWebBrowserSymbol = "TaktonCreateWebBrowser";
using TCreateWebBrowserFn = TWebBrowser *(*)(QWidget *parent);

// What the web engine needs settled before the application object exists:
// for a process running as root, where the engine's sandbox refuses to start,
// the sandbox switched off unless the environment already says something.
void PrepareWebBrowser();

// Loads the browser module (once per run) and creates a browser in parent.
// Null when the module or the web engine is not available; why then says so
// in German.
std::unique_ptr<TWebBrowser> CreateWebBrowser(QWidget *parent, QString &why);

// Loads the browser module without creating a browser: the file it was loaded
// from, or an empty text and why in German.
QString LoadWebBrowserModule(QString &why);

} // namespace takton::gui
