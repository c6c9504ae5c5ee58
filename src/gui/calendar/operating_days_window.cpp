#include "gui/calendar/operating_days_window.h"

#include "core/calendar/operating_calendar.h"
#include "core/model/footnotes.h"
#include "core/model/prj_params.h"
#include "gui/common/error_handler.h"
#include "render/qt_text.h"

#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace takton::gui {

namespace {

const char *const kMonthNames[] = {"Januar",    "Februar", "März",     "April",
                                   "Mai",       "Juni",    "Juli",     "August",
                                   "September", "Oktober", "November", "Dezember"};
const char *const kDayShort[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};

QTableWidget *NewMonthGrid(QWidget *parent, int month) {
    auto *grid = new QTableWidget(6, 7, parent);
    grid->setObjectName(QStringLiteral("tbMonth%1").arg(month));
    QStringList days;
    for (const char *day : kDayShort)
        days << QString::fromLatin1(day);
    grid->setHorizontalHeaderLabels(days);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setDefaultSectionSize(26);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setFixedSize(7 * 26 + 4, 6 * 20 + grid->horizontalHeader()->sizeHint().height() + 4);
    return grid;
}

QString DayToolTip(TDate date, bool runs, const calendar::TOperatingCalendar &calendar) {
    QString tip = QString::fromLatin1(kDayShort[WeekdayOf(date)]) + QStringLiteral(" ") +
                  FromCp1252(GermanDateText(date));
    if (calendar.IsHoliday(date)) {
        const std::string name = calendar.HolidayName(date);
        tip +=
            QStringLiteral(": ") + (name.empty() ? QStringLiteral("Feiertag") : FromCp1252(name));
    }
    if (calendar.IsSchoolHoliday(date))
        tip += QStringLiteral(" · Ferien");
    tip += runs ? QStringLiteral(" · fährt") : QStringLiteral(" · fährt nicht");
    return tip;
}

} // namespace

TfmOperatingDays::TfmOperatingDays(QWidget *parent) : TLazyDialog(parent) {
    setWindowTitle(QStringLiteral("Betriebstage"));
}

const QColor &TfmOperatingDays::RunsColor() {
    static const QColor color(0x2E, 0x7D, 0x32);
    return color;
}
const QColor &TfmOperatingDays::HolidayColor() {
    static const QColor color(0xF4, 0xC7, 0xC3);
    return color;
}
const QColor &TfmOperatingDays::SchoolHolidayColor() {
    static const QColor color(0xFF, 0xF1, 0xB8);
    return color;
}

void TfmOperatingDays::CreateControls() {
    auto *layout = new QVBoxLayout(this);
    auto *choice = new QHBoxLayout();
    cbDayGroups = new QComboBox(this);
    cbDayGroups->setObjectName(QStringLiteral("cbDayGroups"));
    cbFootnotes = new QComboBox(this);
    cbFootnotes->setObjectName(QStringLiteral("cbFootnotes"));
    seYear = new QSpinBox(this);
    seYear->setObjectName(QStringLiteral("seYear"));
    seYear->setRange(1900, 2200);
    seYear->setValue(QDate::currentDate().year());
    lbCount = new QLabel(this);
    lbCount->setObjectName(QStringLiteral("lbCount"));
    choice->addWidget(new QLabel(QStringLiteral("Tagesgruppe:"), this));
    choice->addWidget(cbDayGroups);
    choice->addWidget(new QLabel(QStringLiteral("Fußnote:"), this));
    choice->addWidget(cbFootnotes);
    choice->addWidget(new QLabel(QStringLiteral("Jahr:"), this));
    choice->addWidget(seYear);
    choice->addStretch();
    choice->addWidget(lbCount);
    layout->addLayout(choice);

    auto *grids = new QGridLayout();
    for (int m = 0; m < 12; ++m) {
        auto *box = new QVBoxLayout();
        monthTitles_[static_cast<std::size_t>(m)] = new QLabel(this);
        months_[static_cast<std::size_t>(m)] = NewMonthGrid(this, m + 1);
        box->addWidget(monthTitles_[static_cast<std::size_t>(m)]);
        box->addWidget(months_[static_cast<std::size_t>(m)]);
        grids->addLayout(box, m / 4, m % 4);
    }
    layout->addLayout(grids);

    auto *legend = new QHBoxLayout();
    for (const auto &[color, text] :
         {std::pair{RunsColor(), QStringLiteral("fährt")},
          std::pair{HolidayColor(), QStringLiteral("Feiertag")},
          std::pair{SchoolHolidayColor(), QStringLiteral("Schulferien")}}) {
        auto *swatch = new QLabel(this);
        swatch->setFixedSize(16, 16);
        swatch->setStyleSheet(QStringLiteral("background:%1").arg(color.name()));
        legend->addWidget(swatch);
        legend->addWidget(new QLabel(text, this));
    }
    legend->addStretch();
    layout->addLayout(legend);

    const auto changed = Guarded([this] {
        if (filling_)
            return;
        chosenGroup_ = ToCp1252Lossy(cbDayGroups->currentText());
        chosenFootnote_ = ToCp1252Lossy(cbFootnotes->currentData().toString());
        ShowYear();
    });
    connect(cbDayGroups, &QComboBox::currentIndexChanged, this, changed);
    connect(cbFootnotes, &QComboBox::currentIndexChanged, this, changed);
    connect(seYear, &QSpinBox::valueChanged, this, changed);
}

void TfmOperatingDays::Choose(const std::string &dayGroup, const std::string &footnote) {
    chosenGroup_ = dayGroup;
    chosenFootnote_ = footnote;
    if (ControlsCreated() && isVisible()) {
        FillChoices();
        ShowYear();
    }
}

void TfmOperatingDays::showEvent(QShowEvent *event) {
    TLazyDialog::showEvent(event);
    RunGuarded([this] {
        FillChoices();
        ShowYear();
    });
}

void TfmOperatingDays::FillChoices() {
    filling_ = true;
    cbDayGroups->clear();
    for (const TDayGroupItem &group : Project().PrjParams.DayGroups)
        cbDayGroups->addItem(FromCp1252(group.Name));
    const int group = cbDayGroups->findText(FromCp1252(chosenGroup_));
    cbDayGroups->setCurrentIndex(std::max(group, 0));
    chosenGroup_ = ToCp1252Lossy(cbDayGroups->currentText());
    cbFootnotes->clear();
    cbFootnotes->addItem(QStringLiteral("keine Fußnote"), QString());
    footnotes_ = LoadFootnotes(Project().ProjectDir);
    for (const TFootnote &footnote : footnotes_)
        cbFootnotes->addItem(FromCp1252(footnote.Symbol + "  " + footnote.Text),
                             FromCp1252(footnote.Symbol));
    const int footnote = cbFootnotes->findData(FromCp1252(chosenFootnote_));
    cbFootnotes->setCurrentIndex(std::max(footnote, 0));
    chosenFootnote_ = ToCp1252Lossy(cbFootnotes->currentData().toString());
    // The year of the validity period's start, where there is one.
    if (const auto period = calendar::ValidityPeriod(Project().PrjParams.Publishing))
        seYear->setValue(YearOf(period->First));
    filling_ = false;
}

void TfmOperatingDays::ShowYear() {
    const TPrjParams &params = Project().PrjParams;
    const int year = seYear->value();
    const TDateRange range{*DateOf(year, 1, 1), *DateOf(year, 12, 31)};
    const calendar::TOperatingCalendar calendar(params.Calendar, range);
    const auto validity = calendar::ValidityPeriod(params.Publishing);
    TDaySet days = 0;
    for (const TDayGroupItem &group : params.DayGroups)
        if (group.Name == chosenGroup_)
            days = group.Days;
    const TFootnote *footnote = FindFootnote(footnotes_, chosenFootnote_);
    int count = 0;
    for (int m = 0; m < 12; ++m) {
        QTableWidget *grid = months_[static_cast<std::size_t>(m)];
        monthTitles_[static_cast<std::size_t>(m)]->setText(
            QStringLiteral("<b>%1 %2</b>").arg(QString::fromUtf8(kMonthNames[m])).arg(year));
        grid->clearContents();
        const TDate first = *DateOf(year, m + 1, 1);
        int cell = WeekdayOf(first);
        for (TDate date = first; MonthOf(date) == m + 1; date = date + 1, ++cell) {
            auto *item = new QTableWidgetItem(QString::number(DayOfMonth(date)));
            item->setData(Qt::UserRole, QString::fromLatin1(IsoDateText(date).c_str()));
            item->setTextAlignment(Qt::AlignCenter);
            const bool inValidity = !validity || validity->Contains(date);
            const bool runs = inValidity && calendar::JourneyRuns(calendar, days, footnote, date);
            if (runs) {
                ++count;
                item->setBackground(RunsColor());
                // A holiday or school holiday that runs keeps its colour in the text.
                item->setForeground(calendar.IsHoliday(date)         ? HolidayColor()
                                    : calendar.IsSchoolHoliday(date) ? SchoolHolidayColor()
                                                                     : QColor(Qt::white));
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            } else if (calendar.IsHoliday(date)) {
                item->setBackground(HolidayColor());
            } else if (calendar.IsSchoolHoliday(date)) {
                item->setBackground(SchoolHolidayColor());
            }
            if (!inValidity)
                item->setForeground(Qt::gray);
            item->setToolTip(DayToolTip(date, runs, calendar));
            grid->setItem(cell / 7, cell % 7, item);
        }
    }
    lbCount->setText(QStringLiteral("%1 Betriebstage").arg(count));
}

} // namespace takton::gui
