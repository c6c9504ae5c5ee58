#pragma once

// Fahrplan Kopier-Bereich: takes a timetable over from a web page. The page is
// shown in the embedded browser, its HTML goes through the clipboard, the
// table that names the most stations of the timetable being edited is laid
// out in the work grid, reshaped row by row or column by column, and the
// timetable editor takes the selected block from there.
//
// Created once at start-up and kept for the whole run; the controls are built
// on first need and the browser only when the "Website" page is first shown,
// so that neither costs anything at start-up. Shown beside the timetable
// editor without blocking either window.

#include "core/webcopy/table_choice.h"
#include "gui/common/lazy_dialog.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

namespace takton::gui {

class TStringGridView;
class TWebBrowser;
struct TBodyHtml;

class TfmWebCopy : public TLazyDialog {
    Q_OBJECT
  public:
    explicit TfmWebCopy(QWidget *parent = nullptr);
    ~TfmWebCopy() override;

    // Shows the window beside the (modal) timetable editor, usable alongside it.
    void ShowBeside(QWidget *editor);

    void btShowURLClick();
    void btCopyClick();
    void btPasteClick();
    void btActionClick();
    void cbTableChange();

    // Takes a page's HTML (cp1252) as "HTML einfügen" takes the clipboard's:
    // the table that names the most stations of the open timetable is laid
    // out in the work grid and the page's tables are offered under "Tabelle:";
    // when none is laid out, the window says why. With onlyWhenChosen the
    // window stays as it was unless a table is laid out. Gives whether one is.
    bool TakePageHtml(const std::string &page, bool onlyWhenChosen = false);

    // The texts of the work grid's selected block, row by row.
    std::vector<std::vector<std::string>> SelectedBlock();

    // The station names of the timetable being edited, which choose the
    // table; wired by the program, which knows the timetable editor.
    std::function<std::vector<std::string>()> TimetableStationNames;

    // The browser, once the "Website" page has been shown; null before and
    // when the browser module is not available.
    TWebBrowser *Browser() const { return browser_.get(); }

  protected:
    void CreateControls() override;

  private:
    QTabWidget *PageControl1 = nullptr;

    // "Website"
    QWidget *tsWebsite = nullptr;
    QLabel *lbURL = nullptr;
    QLineEdit *leURL = nullptr;
    QPushButton *btShowURL = nullptr;
    QWidget *wbWebCopyArea = nullptr; // holds the browser's view, or why it is missing
    QPushButton *btCopy = nullptr;

    // "Tabellen-Kopie"
    QWidget *tsTableGrid = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QComboBox *cbActionArea = nullptr;
    QComboBox *cbAction = nullptr;
    QPushButton *btAction = nullptr;
    QLabel *lbTable = nullptr;
    QComboBox *cbTable = nullptr;  // every table of the page with cells
    QLabel *lbPasteNote = nullptr; // why "HTML einfügen" laid nothing out
    TStringGridView *sgWorkGrid = nullptr;

    void CreateWebsitePage();
    void CreateTableGridPage();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void EnsureBrowser();
    void TakeCopiedBody(const TBodyHtml &body);
    std::vector<std::string> TimetableStations() const;
    void LayOutTable(std::string_view tableText);
    TTextWidthFn WorkGridTextWidth() const;
    void OfferTables(int chosen);

    // The page last taken with tables; tables_ views into it.
    std::unique_ptr<const std::string> page_;
    std::vector<TTableInfo> tables_;

    std::unique_ptr<TWebBrowser> browser_;
    bool browserTried_ = false;
    QVBoxLayout *browserLayout_ = nullptr;
    bool placed_ = false;
};

} // namespace takton::gui
