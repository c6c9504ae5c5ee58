// The marks a journey carries beside its times: its footnote and whether it
// is a night journey of the previous operating day. Chosen from the journey
// header's menu, kept in the grid's second header row (so that they move,
// undo and redo with the journey) and stored in the timetable section.

#include "core/model/timetable_grid.h"
#include "gui/common/current_project.h"
#include "gui/common/error_handler.h"
#include "gui/common/string_grid_view.h"
#include "gui/timetable/edit_timetable.h"
#include "render/qt_text.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPainter>

namespace takton::gui {

namespace {

// "S  nur an Schultagen" as the menu offers a footnote.
QString FootnoteEntry(const TFootnote &footnote) {
    return FromCp1252(footnote.Symbol) + QStringLiteral("  ") +
           FromCp1252(footnote.Text.empty() ? FootnoteRuleText(footnote) : footnote.Text);
}

} // namespace

void TfmEditTimeTable::CreateMarkControls() {
    pmJourney->addSeparator();
    pmFootnote = pmJourney->addMenu(QStringLiteral("Fußnote"));
    pmFootnote->setObjectName(QStringLiteral("pmFootnote"));
    acNightJourney = pmJourney->addAction(QStringLiteral("Nachtfahrt des Vortags"));
    acNightJourney->setObjectName(QStringLiteral("acNightJourney"));
    acNightJourney->setCheckable(true);
    acNightJourney->setToolTip(QStringLiteral(
        "Die Fahrt gehört zum Betriebstag davor: 00:10 fährt nach dessen letzten Fahrten"));
    acOperatingDays = pmJourney->addAction(QStringLiteral("Betriebstage…"));
    acOperatingDays->setObjectName(QStringLiteral("acOperatingDays"));
    connect(pmJourney, &QMenu::aboutToShow, this, [this] { FillFootnoteMenu(); });
    connect(acNightJourney, &QAction::triggered, this,
            Guarded([this](bool on) { NightJourneyClick(on); }));
    connect(acOperatingDays, &QAction::triggered, this, Guarded([this] { OperatingDaysClick(); }));
}

void TfmEditTimeTable::FillFootnoteMenu() {
    const TJourneyMarks marks =
        JourneyMarksOfCell(sgTimeTable->Grid().Cell(sgTimeTable->Col(), kJourneyMarksRow));
    pmFootnote->clear();
    auto *choices = new QActionGroup(pmFootnote);
    auto add = [&](const QString &text, const std::string &symbol) {
        QAction *action = pmFootnote->addAction(text);
        action->setCheckable(true);
        action->setChecked(marks.Footnote == symbol);
        choices->addAction(action);
        connect(action, &QAction::triggered, this,
                Guarded([this, symbol] { SetJourneyFootnote(symbol); }));
    };
    add(QStringLiteral("keine Fußnote"), std::string());
    for (const TFootnote &footnote : footnotes_)
        add(FootnoteEntry(footnote), footnote.Symbol);
    // A symbol the project no longer knows stays visible, so it can be taken off.
    if (!marks.Footnote.empty() && !FindFootnote(footnotes_, marks.Footnote))
        add(FromCp1252(marks.Footnote) + QStringLiteral("  (unbekannt)"), marks.Footnote);
    acNightJourney->setChecked(marks.PreviousDayNight);
}

void TfmEditTimeTable::SetJourneyFootnote(const std::string &symbol) {
    ChangeJourneyMarks(symbol.empty() ? QStringLiteral("Fußnote entfernen")
                                      : QStringLiteral("Fußnote %1").arg(FromCp1252(symbol)),
                       [&](TJourneyMarks &marks) { marks.Footnote = symbol; });
}

void TfmEditTimeTable::NightJourneyClick(bool on) {
    ChangeJourneyMarks(acNightJourney->text(),
                       [on](TJourneyMarks &marks) { marks.PreviousDayNight = on; });
}

void TfmEditTimeTable::ChangeJourneyMarks(const QString &step,
                                          const std::function<void(TJourneyMarks &)> &change) {
    if (!JourneyActionReady())
        return;
    const int col = sgTimeTable->Col();
    TStringGrid &grid = sgTimeTable->Grid();
    const TJourneyMarks before = JourneyMarksOfCell(grid.Cell(col, kJourneyMarksRow));
    TJourneyMarks after = before;
    change(after);
    if (after == before)
        return;
    grid.SetCell(col, kJourneyMarksRow, JourneyMarksCellText(after));
    JourneysChanged(step, col);
}

void TfmEditTimeTable::OperatingDaysClick() {
    if (!OperatingDays.Show || pTimeTableEdit->isHidden())
        return;
    const TJourneyMarks marks =
        JourneyMarksOfCell(sgTimeTable->Grid().Cell(sgTimeTable->Col(), kJourneyMarksRow));
    OperatingDays.Show(this, TimeTableDayGroup, marks.Footnote);
}

void TfmEditTimeTable::LoadJourneyMarks(const TTimetableFile &file, const std::string &section) {
    footnotes_ = LoadFootnotes(Project().ProjectDir);
    PutJourneyMarks(sgTimeTable->Grid(),
                    file.HasSection(section) ? file.ReadJourneyMarks(section) : TJourneyMarkList());
}

void TfmEditTimeTable::DrawJourneyMarks(QPainter &painter, const QRect &rect, int col) {
    const std::string &text = sgTimeTable->Grid().Cell(col, kJourneyMarksRow);
    if (text.empty())
        return;
    const TJourneyMarks marks = JourneyMarksOfCell(text);
    painter.fillRect(rect, palette().color(QPalette::Button));
    QFont bold = painter.font();
    bold.setBold(true);
    painter.setFont(bold);
    const QRect inner = rect.adjusted(TStringGridView::kTextIndent, TStringGridView::kTextIndent,
                                      -TStringGridView::kTextIndent, 0);
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     FromCp1252(marks.Footnote));
    // A crescent: the journey runs in the night after the previous day.
    if (marks.PreviousDayNight)
        painter.drawText(inner, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                         QStringLiteral("\u263E"));
}

} // namespace takton::gui
