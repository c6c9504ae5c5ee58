#include "query/query.h"

#include "gui/current_project.h"
#include "gui/error_handler.h"
#include "gui/qt_text.h"
#include "model/db_func.h"
#include "model/station_lines_index.h"
#include "util/file_io.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <initializer_list>
#include <optional>

namespace takton::gui {
namespace {

QStringList ToQStrings(const TStringList &list) {
    QStringList result;
    result.reserve(static_cast<qsizetype>(list.size()));
    for (const std::string &item : list)
        result << FromCp1252(item);
    return result;
}

// New items for the box; the text the user chose or typed stays shown.
void ReplaceItemsKeepingText(QComboBox &box, const QStringList &items) {
    const QString shown = box.currentText();
    box.clear();
    box.addItems(items);
    box.setCurrentIndex(box.findText(shown, Qt::MatchExactly));
    box.setEditText(shown);
}

void ClearBox(QComboBox &box) {
    box.clear();
    box.clearEditText();
}

QTreeWidgetItem *NewTopNode(QTreeWidget &tree, const QString &text) {
    auto *node = new QTreeWidgetItem(QStringList{text});
    tree.insertTopLevelItem(0, node);
    return node;
}

} // namespace

TfmQuery::TfmQuery(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmQuery"));
    setWindowTitle(QStringLiteral("Verbindugns-Abfrage"));
    setModal(true);

    Label1 = CreateLabel(QStringLiteral("Start:"), "Label1");
    Label2 = CreateLabel(QStringLiteral("Ziel:"), "Label2");
    CreateSide("Start", cbStartLine, cbStartTime, dtpStartDate, dtpStartTime);
    CreateSide("End", cbEndLine, cbEndTime, dtpEndDate, dtpEndTime);
    Label1->setBuddy(cbStartLine);
    Label2->setBuddy(cbEndLine);
    cbStartTime->setChecked(true);
    dtpEndDate->hide();
    dtpEndTime->hide();

    btStartQuery = new QPushButton(QStringLiteral("Abfrage starten"), this);
    btStartQuery->setObjectName(QStringLiteral("btStartQuery"));
    btStartQuery->setAutoDefault(false);
    tvStart = CreateTree("tvStart");
    tvEnd = CreateTree("tvEnd");

    auto *fields = new QGridLayout();
    auto addSide = [fields](int row, std::initializer_list<QWidget *> controls) {
        int column = 0;
        for (QWidget *control : controls)
            fields->addWidget(control, row, column++);
    };
    addSide(0, {Label1, cbStartLine, cbStartTime, dtpStartDate, dtpStartTime});
    addSide(1, {Label2, cbEndLine, cbEndTime, dtpEndDate, dtpEndTime});
    fields->setColumnStretch(1, 1);
    fields->setColumnMinimumWidth(3, 110);
    fields->setColumnMinimumWidth(4, 80);
    auto *trees = new QHBoxLayout();
    trees->addWidget(tvStart, 1);
    trees->addWidget(tvEnd, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(btStartQuery, 0, Qt::AlignLeft);
    layout->addLayout(trees, 1);
    resize(640, 460);

    // toggled, not clicked: a box checked by the other side's handler runs
    // its own handler too, and only a real change runs it.
    connect(cbStartTime, &QCheckBox::toggled, this, Guarded([this] { cbStartTimeClick(); }));
    connect(cbEndTime, &QCheckBox::toggled, this, Guarded([this] { cbEndTimeClick(); }));
    connect(btStartQuery, &QPushButton::clicked, this, Guarded([this] { btStartQueryClick(); }));
}

QLabel *TfmQuery::CreateLabel(const QString &caption, const char *name) {
    auto *label = new QLabel(caption, this);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// The controls of one side, named after it: cb<side>Line, cb<side>Time, ...
void TfmQuery::CreateSide(const char *side, QComboBox *&station, QCheckBox *&time, QDateEdit *&date,
                          QTimeEdit *&clock) {
    const QString name = QString::fromLatin1(side);
    station = new QComboBox(this);
    station->setObjectName(QStringLiteral("cb%1Line").arg(name));
    station->setEditable(true);
    // A typed name is the query's text; it does not become an item.
    station->setInsertPolicy(QComboBox::NoInsert);
    station->setMinimumWidth(200);
    time = new QCheckBox(QStringLiteral("Zeit"), this);
    time->setObjectName(QStringLiteral("cb%1Time").arg(name));
    date = new QDateEdit(QDate::currentDate(), this);
    date->setObjectName(QStringLiteral("dtp%1Date").arg(name));
    date->setCalendarPopup(true);
    clock = new QTimeEdit(QTime::currentTime(), this);
    clock->setObjectName(QStringLiteral("dtp%1Time").arg(name));
}

QTreeWidget *TfmQuery::CreateTree(const char *name) {
    auto *tree = new QTreeWidget(this);
    tree->setObjectName(QString::fromLatin1(name));
    tree->setColumnCount(1);
    tree->setHeaderHidden(true);
    return tree;
}

void TfmQuery::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    // A window restored by the window system is not shown anew.
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void TfmQuery::FormShow() {
    const std::string stationsPath = ProjectPath(ProjectDir, kStationsFile);
    if (!FileExists(stationsPath)) {
        ClearBox(*cbStartLine);
        ClearBox(*cbEndLine);
        return;
    }
    const QStringList stations = ToQStrings(LoadNameList(ProjectDir, kStationsFile));
    ReplaceItemsKeepingText(*cbStartLine, stations);
    ReplaceItemsKeepingText(*cbEndLine, stations);
}

void TfmQuery::cbStartTimeClick() {
    if (!cbStartTime->isChecked())
        cbEndTime->setChecked(true);
    dtpStartTime->setVisible(cbStartTime->isChecked());
    dtpStartDate->setVisible(cbStartTime->isChecked());
}

void TfmQuery::cbEndTimeClick() {
    if (!cbEndTime->isChecked())
        cbStartTime->setChecked(true);
    dtpEndTime->setVisible(cbEndTime->isChecked());
    dtpEndDate->setVisible(cbEndTime->isChecked());
}

void TfmQuery::btStartQueryClick() {
    QTreeWidgetItem *current = NewTopNode(*tvStart, cbStartLine->currentText());
    NewTopNode(*tvEnd, cbEndLine->currentText());

    const TQueryNetwork network = LoadQueryNetwork(ProjectDir);
    // A start text that code page 1252 cannot hold names no station.
    const std::optional<std::string> start = ToCp1252(current->text(0));
    if (!start)
        return;
    // Each level hangs below the first node of the level before it.
    for (const TStringList &level : LineDescent(network.stationLines, *start)) {
        for (const std::string &line : level)
            new QTreeWidgetItem(current, QStringList{FromCp1252(line)});
        current = current->child(0);
    }
}

} // namespace takton::gui
