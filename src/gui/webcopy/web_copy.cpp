#include "gui/webcopy/web_copy.h"

#include "core/model/timetable_grid.h"
#include "core/util/cp1252.h"
#include "core/util/error.h"
#include "core/util/string_grid.h"
#include "core/webcopy/html_table.h"
#include "core/webcopy/html_text.h"
#include "core/webcopy/table_choice.h"
#include "gui/common/buttons.h"
#include "gui/common/error_handler.h"
#include "gui/common/string_grid_view.h"
#include "gui/webcopy/web_browser.h"
#include "render/qt_text.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace takton::gui {

namespace {

// The items of the two choice boxes, in this order.
enum ActionArea { kRows, kColumns };
enum Action { kInsert, kDuplicate, kDelete };

QComboBox *ChoiceBox(QWidget *parent, const char *name, const QStringList &items) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    box->setCurrentIndex(0);
    return box;
}

QHBoxLayout *Bar(QVBoxLayout *page) {
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    page->addLayout(bar);
    return bar;
}

// Why "HTML einfügen" lays nothing out.
const QString kNoHtml = QStringLiteral("Die Zwischenablage enthält kein HTML.");
const QString kNoTable = QStringLiteral("Das HTML in der Zwischenablage enthält keine Tabelle.");
const QString kNoStation =
    QStringLiteral("Keine Tabelle nennt eine Station des Fahrplans; unter \"Tabelle:\" lässt "
                   "sich eine wählen.");

} // namespace

TfmWebCopy::TfmWebCopy(QWidget *parent) : TLazyDialog(parent) {
    setObjectName(QStringLiteral("fmWebCopy"));
    setWindowTitle(QStringLiteral("Fahrplan Kopier-Bereich"));
    setModal(false);
    // A web page wants room: the window can be maximised like a browser.
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    resize(800, 560);
}

TfmWebCopy::~TfmWebCopy() = default;

void TfmWebCopy::CreateControls() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    CreateWebsitePage();
    CreateTableGridPage();
    PageControl1->setCurrentWidget(tsTableGrid);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PageControl1);
}

void TfmWebCopy::CreateWebsitePage() {
    tsWebsite = new QWidget(PageControl1);
    tsWebsite->setObjectName(QStringLiteral("tsWebsite"));
    auto *page = new QVBoxLayout(tsWebsite);

    auto *top = Bar(page);
    lbURL = new QLabel(QStringLiteral("URL: "), tsWebsite);
    lbURL->setObjectName(QStringLiteral("lbURL"));
    leURL = new QLineEdit(tsWebsite);
    leURL->setObjectName(QStringLiteral("leURL"));
    lbURL->setBuddy(leURL);
    btShowURL = PlainButton(tsWebsite, QStringLiteral("Website anzeigen"), "btShowURL");
    top->addWidget(lbURL);
    top->addWidget(leURL, 1);
    top->addWidget(btShowURL);

    wbWebCopyArea = new QWidget(tsWebsite);
    wbWebCopyArea->setObjectName(QStringLiteral("wbWebCopyArea"));
    browserLayout_ = new QVBoxLayout(wbWebCopyArea);
    browserLayout_->setContentsMargins(0, 0, 0, 0);
    page->addWidget(wbWebCopyArea, 1);

    auto *bottom = Bar(page);
    btCopy = PlainButton(tsWebsite, QStringLiteral("HTML kopieren"), "btCopy");
    bottom->addWidget(btCopy);
    bottom->addStretch(1);

    PageControl1->addTab(tsWebsite, QStringLiteral("Website"));
    // The browser is made when this page is first shown.
    tsWebsite->installEventFilter(this);

    connect(btShowURL, &QPushButton::clicked, this, Guarded([this] { btShowURLClick(); }));
    connect(leURL, &QLineEdit::returnPressed, this, Guarded([this] { btShowURLClick(); }));
    connect(btCopy, &QPushButton::clicked, this, Guarded([this] { btCopyClick(); }));
}

void TfmWebCopy::CreateTableGridPage() {
    tsTableGrid = new QWidget(PageControl1);
    tsTableGrid->setObjectName(QStringLiteral("tsTableGrid"));
    auto *page = new QVBoxLayout(tsTableGrid);

    auto *top = Bar(page);
    Button1 = PlainButton(tsTableGrid, QStringLiteral("HTML einfügen"), "Button1");
    // Taking the selected block is the timetable editor's business
    // ("Zwischenablage einfügen" there); this button has no action.
    Button2 = PlainButton(
        tsTableGrid, QStringLiteral("Selektieren Bereich in Zwischenablage kopieren"), "Button2");
    cbActionArea =
        ChoiceBox(tsTableGrid, "cbActionArea", {QStringLiteral("Zeile"), QStringLiteral("Spalte")});
    cbAction = ChoiceBox(
        tsTableGrid, "cbAction",
        {QStringLiteral("einfügen"), QStringLiteral("duplizieren"), QStringLiteral("löschen")});
    btAction = PlainButton(tsTableGrid, QStringLiteral("Aktion ausführen"), "btAction");
    top->addWidget(Button1);
    top->addWidget(Button2);
    top->addSpacing(16);
    top->addWidget(cbActionArea);
    top->addWidget(cbAction);
    top->addWidget(btAction);
    top->addStretch(1);

    auto *choice = Bar(page);
    lbTable = new QLabel(QStringLiteral("Tabelle:"), tsTableGrid);
    lbTable->setObjectName(QStringLiteral("lbTable"));
    cbTable = new QComboBox(tsTableGrid);
    cbTable->setObjectName(QStringLiteral("cbTable"));
    cbTable->setMinimumContentsLength(48);
    lbTable->setBuddy(cbTable);
    lbPasteNote = new QLabel(tsTableGrid);
    lbPasteNote->setObjectName(QStringLiteral("lbPasteNote"));
    lbPasteNote->setStyleSheet(QStringLiteral("color: #800000"));
    choice->addWidget(lbTable);
    choice->addWidget(cbTable);
    choice->addSpacing(16);
    choice->addWidget(lbPasteNote, 1);

    sgWorkGrid = new TStringGridView(tsTableGrid);
    sgWorkGrid->setObjectName(QStringLiteral("sgWorkGrid"));
    TStringGrid &grid = sgWorkGrid->Grid();
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.DefaultColWidth = 32;
    grid.DefaultRowHeight = 18;
    grid.SetCurrent(0, 0);
    // Cells are selected, never typed into.
    sgWorkGrid->SetEditing(false);
    sgWorkGrid->Refresh();
    page->addWidget(sgWorkGrid, 1);

    PageControl1->addTab(tsTableGrid, QStringLiteral("Tabellen-Kopie"));

    connect(Button1, &QPushButton::clicked, this, Guarded([this] { btPasteClick(); }));
    connect(btAction, &QPushButton::clicked, this, Guarded([this] { btActionClick(); }));
    // Only the planner's choice lays a table out, not the filling of the list.
    connect(cbTable, &QComboBox::activated, this, Guarded([this] { cbTableChange(); }));
}

bool TfmWebCopy::eventFilter(QObject *watched, QEvent *event) {
    if (watched == tsWebsite && event->type() == QEvent::Show)
        RunGuarded([this] { EnsureBrowser(); });
    return QDialog::eventFilter(watched, event);
}

void TfmWebCopy::EnsureBrowser() {
    if (browserTried_)
        return;
    browserTried_ = true;
    QString why;
    browser_ = CreateWebBrowser(wbWebCopyArea, why);
    // Made while its page is being shown: it must be shown itself.
    if (browser_) {
        // "URL: " names the page shown, wherever the planner went from there.
        browser_->SetAddressChanged([this](const QString &address) { leURL->setText(address); });
        browserLayout_->addWidget(browser_->View());
        browser_->View()->show();
        return;
    }
    // Without the browser the page says why; pasting HTML copied elsewhere
    // still works.
    auto *missing = new QLabel(why, wbWebCopyArea);
    missing->setObjectName(QStringLiteral("lbNoBrowser"));
    missing->setAlignment(Qt::AlignCenter);
    missing->setWordWrap(true);
    browserLayout_->addWidget(missing);
    missing->show();
    btShowURL->setEnabled(false);
    btCopy->setEnabled(false);
}

void TfmWebCopy::ShowBeside(QWidget *editor) {
    EnsureControls();
    // A modal window blocks every other window but its own children.
    if (editor && parentWidget() != editor)
        setParent(editor, windowFlags());
    if (editor && !placed_) {
        placed_ = true;
        const QRect frame = editor->frameGeometry();
        QPoint pos(frame.right() + 1, frame.top());
        if (const QScreen *screen = editor->screen()) {
            const QRect room = screen->availableGeometry();
            pos.setX(std::max(room.left(), std::min(pos.x(), room.right() + 1 - width())));
            pos.setY(std::max(room.top(), std::min(pos.y(), room.bottom() + 1 - height())));
        }
        move(pos);
    }
    show();
    raise();
    activateWindow();
}

// ---- Website ---------------------------------------------------------------

void TfmWebCopy::btShowURLClick() {
    if (browser_)
        browser_->Navigate(leURL->text());
}

void TfmWebCopy::btCopyClick() {
    if (!browser_)
        return;
    browser_->TakeBodyHtml(
        [this](const TBodyHtml &body) { RunGuarded([&] { TakeCopiedBody(body); }); });
}

void TfmWebCopy::TakeCopiedBody(const TBodyHtml &body) {
    switch (body.Result) {
    case TBodyHtml::Kind::NoDocument:
        return;
    case TBodyHtml::Kind::NotHtml:
        throw TaktonError(Cp1252("Das angezeigte Dokument ist kein HTML-Dokument."));
    case TBodyHtml::Kind::Html:
        // The clipboard gets the text as the program's code page holds it.
        QApplication::clipboard()->setText(FromCp1252(ToCp1252Lossy(body.OuterHtml)));
        return;
    }
}

// ---- Tabellen-Kopie --------------------------------------------------------

// The station names of the timetable grid, as the timetable editor holds them
// at this moment.
std::vector<std::string> TfmWebCopy::TimetableStations() const {
    return TimetableStationNames ? TimetableStationNames() : std::vector<std::string>{};
}

std::vector<std::vector<std::string>> TfmWebCopy::SelectedBlock() {
    EnsureControls();
    const TStringGrid &work = sgWorkGrid->Grid();
    const TGridRect &sel = work.Selection();
    std::vector<std::vector<std::string>> block;
    for (int row = sel.Top; row <= sel.Bottom; ++row) {
        block.emplace_back();
        for (int col = sel.Left; col <= sel.Right; ++col)
            block.back().push_back(work.Cell(col, row));
    }
    return block;
}

void TfmWebCopy::btPasteClick() {
    const QMimeData *data = QApplication::clipboard()->mimeData();
    // A browser's copy of part of a page carries it as HTML beside the text.
    if (data && data->hasHtml())
        TakePageHtml(ToCp1252Lossy(data->html()));
    else if (data && data->hasText())
        TakePageHtml(ToCp1252Lossy(data->text()));
    else
        lbPasteNote->setText(kNoHtml);
}

bool TfmWebCopy::TakePageHtml(const std::string &page, bool onlyWhenChosen) {
    EnsureControls();
    // The grid is touched only when a table is laid out.
    auto kept = std::make_unique<const std::string>(page);
    const TWebTablePage taken = TakeWebTable(*kept, kStationsHeading, TimetableStations(),
                                             sgWorkGrid->Grid(), WorkGridTextWidth());
    const bool anyCells = std::any_of(taken.Tables.begin(), taken.Tables.end(),
                                      [](const TTableInfo &table) { return table.Cells > 0; });
    if (taken.Chosen < 0 && (onlyWhenChosen || !anyCells)) {
        if (!onlyWhenChosen)
            lbPasteNote->setText(IsHtmlText(page) ? kNoTable : kNoHtml);
        return false;
    }
    page_ = std::move(kept);
    tables_ = taken.Tables;
    OfferTables(taken.Chosen);
    if (taken.Chosen < 0) {
        lbPasteNote->setText(kNoStation);
        return false;
    }
    lbPasteNote->clear();
    sgWorkGrid->Refresh();
    return true;
}

// Every table with cells, the chosen one selected.
void TfmWebCopy::OfferTables(int chosen) {
    cbTable->clear();
    for (std::size_t i = 0; i < tables_.size(); ++i) {
        if (tables_[i].Cells == 0)
            continue;
        const int index = static_cast<int>(i);
        cbTable->addItem(FromCp1252(TableListText(tables_[i], index)), index);
        if (index == chosen)
            cbTable->setCurrentIndex(cbTable->count() - 1);
    }
    if (chosen < 0)
        cbTable->setCurrentIndex(-1);
}

void TfmWebCopy::cbTableChange() {
    const int item = cbTable->currentIndex();
    if (item < 0)
        return;
    const int index = cbTable->itemData(item).toInt();
    if (index >= 0 && index < static_cast<int>(tables_.size()))
        LayOutTable(tables_[static_cast<std::size_t>(index)].Text);
}

// A fitted column shows its texts whole: the grid draws a text 2 pixels in
// from the cell's left edge, and leaves as much on the right.
TTextWidthFn TfmWebCopy::WorkGridTextWidth() const {
    return [metrics = QFontMetrics(sgWorkGrid->font())](std::string_view text) {
        return metrics.horizontalAdvance(FromCp1252(text)) + 2 * TStringGridView::kTextIndent;
    };
}

void TfmWebCopy::LayOutTable(std::string_view tableText) {
    LayOutWebTable(tableText, sgWorkGrid->Grid(), WorkGridTextWidth());
    lbPasteNote->clear();
    sgWorkGrid->Refresh();
}

void TfmWebCopy::btActionClick() {
    const int action = cbAction->currentIndex();
    if (action < 0)
        return;
    // Columns unless "Zeile" is chosen, also when nothing is.
    const bool rows = cbActionArea->currentIndex() == kRows;
    TStringGrid &grid = sgWorkGrid->Grid();
    const int row = grid.Row();
    const int col = grid.Col();
    switch (action) {
    case kInsert:
        rows ? InsertGridRow(grid, row) : InsertGridColumn(grid, col);
        break;
    case kDuplicate:
        rows ? DuplicateGridRow(grid, row) : DuplicateGridColumn(grid, col);
        break;
    case kDelete:
        rows ? DeleteGridRow(grid, row) : DeleteGridColumn(grid, col);
        break;
    default:
        return;
    }
    sgWorkGrid->Refresh();
}

} // namespace takton::gui
