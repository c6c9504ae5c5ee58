#include "gui/search/query_window.h"

#include "core/files/file_io.h"
#include "core/model/master_data.h"
#include "core/model/prj_params.h"
#include "core/model/station_lines_index.h"
#include "core/search/connection_scan.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "render/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <optional>

namespace takton::gui {
namespace {

// The journeys of the date, as the project's operating calendar runs them.
search::TServiceDay ServiceDayOn(const TPrjParams &params, const QDate &date) {
    const std::optional<TDate> day = DateOf(date.year(), date.month(), date.day());
    return day ? search::ServiceDayOfDate(params, *day)
               : search::ServiceDayOfWeekday(params, date.dayOfWeek() - 1);
}

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
    tvConnections = CreateTree("tvConnections");
    tvConnections->setColumnCount(5);
    tvConnections->setHeaderLabels({QStringLiteral("Verbindung"), QStringLiteral("Abfahrt"),
                                    QStringLiteral("Ankunft"), QStringLiteral("Dauer"),
                                    QStringLiteral("Umstiege")});
    tvConnections->setHeaderHidden(false);

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
    layout->addWidget(tvConnections, 2);
    resize(760, 620);

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
    // The query's weekday depends on it: the year in full.
    date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    // The query counts in whole minutes: no seconds to set or to see.
    const QTime now = QTime::currentTime();
    clock = new QTimeEdit(QTime(now.hour(), now.minute()), this);
    clock->setObjectName(QStringLiteral("dtp%1Time").arg(name));
    clock->setDisplayFormat(QStringLiteral("HH:mm"));
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
    const std::string stationsPath = ProjectPath(Project().ProjectDir, kStationsFile);
    if (!FileExists(stationsPath)) {
        ClearBox(*cbStartLine);
        ClearBox(*cbEndLine);
        return;
    }
    const QStringList stations = ToQStrings(LoadNameList(Project().ProjectDir, kStationsFile));
    ReplaceItemsKeepingText(*cbStartLine, stations);
    ReplaceItemsKeepingText(*cbEndLine, stations);
    // Ready for the first query of the start side's day.
    IndexOf(ServiceDayOn(Project().PrjParams, dtpStartDate->date()));
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

    const TQueryNetwork network = LoadQueryNetwork(Project().ProjectDir);
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
    ListConnections();
}

const search::TConnectionIndex &TfmQuery::IndexOf(const search::TServiceDay &day) {
    if (!index_ || indexDir_ != Project().ProjectDir || !(indexDay_ == day) ||
        indexMinChange_ != Project().PrjParams.MinChangeMinutes ||
        !search::SourceUnchanged(indexStamp_, Project().ProjectDir)) {
        // Stamped before reading, so that a change while building shows next time.
        search::TSourceStamp stamp = search::SourceStampOf(Project().ProjectDir);
        index_.reset(); // the old one's memory goes first
        index_ = search::TConnectionIndex::Build(Project().ProjectDir, day,
                                                 Project().PrjParams.MinChangeMinutes);
        indexDir_ = Project().ProjectDir;
        indexDay_ = day;
        indexStamp_ = std::move(stamp);
        indexMinChange_ = Project().PrjParams.MinChangeMinutes;
    }
    return *index_;
}

namespace {

QString DayTime(int minutes) {
    return QString::fromLatin1(search::FormatDayTime(minutes));
}

void AddJourney(QTreeWidgetItem &query, const search::TConnectionIndex &index,
                const search::TJourney &journey) {
    const QString departure = DayTime(journey.Departure());
    const QString arrival = DayTime(journey.Arrival());
    auto *node = new QTreeWidgetItem(
        &query,
        {departure + QStringLiteral(" \u2013 ") + arrival, departure, arrival,
         QString::fromLatin1(search::FormatDuration(journey.Arrival() - journey.Departure())),
         QString::number(journey.Changes())});
    for (const auto &leg : journey.Legs) {
        const search::TTrip &trip = index.Trips()[leg.Trip];
        new QTreeWidgetItem(
            node,
            {QStringLiteral("Linie %1 Richtung %2")
                 .arg(FromCp1252(index.LineName(trip.Line)),
                      FromCp1252(index.StationName(trip.EndStation))),
             DayTime(leg.Departure) + QLatin1Char(' ') + FromCp1252(index.StationName(leg.From)),
             DayTime(leg.Arrival) + QLatin1Char(' ') + FromCp1252(index.StationName(leg.To))});
    }
    node->setExpanded(true);
}

} // namespace

// The connections of the query, as a new node on top of the earlier ones.
void TfmQuery::ListConnections() {
    const bool arrive = !cbStartTime->isChecked();
    const QDate date = arrive ? dtpEndDate->date() : dtpStartDate->date();
    const QTime time = arrive ? dtpEndTime->time() : dtpStartTime->time();
    const QString heading = QStringLiteral("%1 \u2192 %2, %3 %4 am %5")
                                .arg(cbStartLine->currentText(), cbEndLine->currentText(),
                                     arrive ? QStringLiteral("an") : QStringLiteral("ab"),
                                     time.toString(QStringLiteral("HH:mm")),
                                     date.toString(QStringLiteral("dd.MM.yyyy")));
    auto *query = new QTreeWidgetItem(QStringList{heading});
    tvConnections->insertTopLevelItem(0, query);
    query->setExpanded(true);

    const auto &index = IndexOf(ServiceDayOn(Project().PrjParams, date));
    const auto from = ToCp1252(cbStartLine->currentText());
    const auto to = ToCp1252(cbEndLine->currentText());
    std::vector<search::TJourney> journeys;
    if (from && to)
        journeys = search::FindConnections(index, {*from, *to, time.hour() * 60 + time.minute(),
                                                   arrive, search::kDefaultConnectionCount});
    for (const auto &journey : journeys)
        AddJourney(*query, index, journey);
    if (journeys.empty())
        new QTreeWidgetItem(query, QStringList{QStringLiteral("Keine Verbindung gefunden")});
    FitConnections();
}

void TfmQuery::FitConnections() {
    // Every column as wide as its widest text; the window grows, as far as
    // the screen allows, so that no column needs scrolling to.
    int needed = 0;
    for (int column = 0; column < tvConnections->columnCount(); ++column) {
        tvConnections->resizeColumnToContents(column);
        needed += tvConnections->columnWidth(column);
    }
    const int missing = needed - tvConnections->viewport()->width();
    if (missing <= 0)
        return;
    int wanted = width() + missing;
    if (const QScreen *screen = this->screen())
        wanted = std::min(wanted, screen->availableGeometry().width());
    if (wanted > width())
        resize(wanted, height());
}

} // namespace takton::gui
