#include "gui/editors/operating_days_page.h"

#include "core/calendar/holidays.h"
#include "core/calendar/ics_reader.h"
#include "core/files/file_io.h"
#include "core/model/prj_params.h"
#include "core/util/error.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "render/qt_text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace takton::gui {

namespace {

QPushButton *NewButton(QWidget *parent, const QString &caption, const char *name) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLineEdit *NewField(QWidget *parent, const char *name, const QString &placeholder) {
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setPlaceholderText(placeholder);
    return field;
}

// The German message of a refused entry, or nothing when it was taken.
template <class Action> bool Taken(Action action) {
    try {
        action();
        return true;
    } catch (const TaktonError &e) {
        Dialogs().ShowMessage(FromCp1252(e.what()));
        return false;
    }
}

QString SchoolHolidayText(const TSchoolHoliday &holiday) {
    return FromCp1252(DateRangeText(holiday.Dates) +
                      (holiday.Name.empty() ? std::string() : " " + holiday.Name));
}

QString SpecialDayText(const TSpecialDay &day) {
    return FromCp1252(DateRangeText(day.Dates) + "  " + TreatmentText(day));
}

} // namespace

TOperatingDaysPage::TOperatingDaysPage(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsOperatingDays"));
    cbLand = new QComboBox(this);
    cbLand->setObjectName(QStringLiteral("cbLand"));
    cbLand->addItem(QStringLiteral("kein Bundesland (keine Feiertage)"), QString());
    for (const calendar::TLand &land : calendar::Laender())
        cbLand->addItem(FromCp1252(land.Name), QString::fromLatin1(land.Code));
    leExtraHolidays = NewField(this, "leExtraHolidays", QStringLiteral("JJJJ-MM-TT, …"));
    auto *top = new QFormLayout();
    top->addRow(QStringLiteral("Bundesland:"), cbLand);
    top->addRow(QStringLiteral("Weitere Feiertage:"), leExtraHolidays);

    auto *school = new QGroupBox(QStringLiteral("Schulferien"), this);
    lbSchoolHolidays = new QListWidget(school);
    lbSchoolHolidays->setObjectName(QStringLiteral("lbSchoolHolidays"));
    leSchoolHoliday =
        NewField(school, "leSchoolHoliday", QStringLiteral("JJJJ-MM-TT..JJJJ-MM-TT Name"));
    btAddSchoolHoliday = NewButton(school, QStringLiteral("hinzufügen"), "btAddSchoolHoliday");
    btDeleteSchoolHoliday = NewButton(school, QStringLiteral("entfernen"), "btDeleteSchoolHoliday");
    btImportIcs = NewButton(school, QStringLiteral("Aus iCalendar-Datei…"), "btImportIcs");
    auto *schoolLayout = new QVBoxLayout(school);
    schoolLayout->addWidget(lbSchoolHolidays);
    auto *schoolRow = new QHBoxLayout();
    schoolRow->addWidget(leSchoolHoliday, 1);
    schoolRow->addWidget(btAddSchoolHoliday);
    schoolRow->addWidget(btDeleteSchoolHoliday);
    schoolRow->addWidget(btImportIcs);
    schoolLayout->addLayout(schoolRow);

    auto *special = new QGroupBox(QStringLiteral("Besondere Tage"), this);
    lbSpecialDays = new QListWidget(special);
    lbSpecialDays->setObjectName(QStringLiteral("lbSpecialDays"));
    leSpecialDates =
        NewField(special, "leSpecialDates", QStringLiteral("JJJJ-MM-TT[..JJJJ-MM-TT]"));
    cbTreatment = new QComboBox(special);
    cbTreatment->setObjectName(QStringLiteral("cbTreatment"));
    TSpecialDay treatment;
    for (const char *key : {"none", "as-monday", "as-tuesday", "as-wednesday", "as-thursday",
                            "as-friday", "as-saturday", "as-sunday", "usual"}) {
        ParseTreatmentKey(key, treatment);
        cbTreatment->addItem(FromCp1252(TreatmentText(treatment)), QString::fromLatin1(key));
    }
    btAddSpecialDay = NewButton(special, QStringLiteral("hinzufügen"), "btAddSpecialDay");
    btDeleteSpecialDay = NewButton(special, QStringLiteral("entfernen"), "btDeleteSpecialDay");
    auto *specialLayout = new QVBoxLayout(special);
    specialLayout->addWidget(lbSpecialDays);
    auto *specialRow = new QHBoxLayout();
    specialRow->addWidget(leSpecialDates, 1);
    specialRow->addWidget(cbTreatment);
    specialRow->addWidget(btAddSpecialDay);
    specialRow->addWidget(btDeleteSpecialDay);
    specialLayout->addLayout(specialRow);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(new QLabel(
        QStringLiteral(
            "Feiertage fahren wie Sonntag, wenn ein besonderer Tag nichts anderes sagt."),
        this));
    layout->addWidget(school, 1);
    layout->addWidget(special, 1);

    connect(cbLand, &QComboBox::currentIndexChanged, this, [this] { Tell(); });
    connect(leExtraHolidays, &QLineEdit::textEdited, this, [this] { Tell(); });
    connect(btAddSchoolHoliday, &QPushButton::clicked, this,
            Guarded([this] { btAddSchoolHolidayClick(); }));
    connect(btImportIcs, &QPushButton::clicked, this, Guarded([this] { btImportIcsClick(); }));
    connect(btDeleteSchoolHoliday, &QPushButton::clicked, this, Guarded([this] {
                const int row = lbSchoolHolidays->currentRow();
                if (row < 0)
                    return;
                days_.SchoolHolidays.erase(days_.SchoolHolidays.begin() + row);
                ShowLists();
                Tell();
            }));
    connect(btAddSpecialDay, &QPushButton::clicked, this,
            Guarded([this] { btAddSpecialDayClick(); }));
    connect(btDeleteSpecialDay, &QPushButton::clicked, this, Guarded([this] {
                const int row = lbSpecialDays->currentRow();
                if (row < 0)
                    return;
                days_.SpecialDays.erase(days_.SpecialDays.begin() + row);
                ShowLists();
                Tell();
            }));
}

void TOperatingDaysPage::Tell() {
    if (Changed)
        Changed();
}

void TOperatingDaysPage::Show(const TOperatingDays &days) {
    days_ = days;
    const int land = cbLand->findData(FromCp1252(days.Land));
    const QSignalBlocker blocker(cbLand);
    cbLand->setCurrentIndex(std::max(land, 0));
    leExtraHolidays->setText(FromCp1252(DateListText(days.ExtraHolidays)));
    leSchoolHoliday->clear();
    leSpecialDates->clear();
    ShowLists();
}

void TOperatingDaysPage::ShowLists() {
    lbSchoolHolidays->clear();
    for (const auto &holiday : days_.SchoolHolidays)
        lbSchoolHolidays->addItem(SchoolHolidayText(holiday));
    lbSpecialDays->clear();
    for (const auto &day : days_.SpecialDays)
        lbSpecialDays->addItem(SpecialDayText(day));
}

std::optional<TOperatingDays> TOperatingDaysPage::Typed() {
    TOperatingDays days = days_;
    days.Land = ToCp1252Lossy(cbLand->currentData().toString());
    if (!Taken(
            [&] { days.ExtraHolidays = ParseDateList(ToCp1252Lossy(leExtraHolidays->text())); })) {
        leExtraHolidays->setFocus();
        return std::nullopt;
    }
    return days;
}

void TOperatingDaysPage::btAddSchoolHolidayClick() {
    const std::string typed = ToCp1252Lossy(leSchoolHoliday->text().trimmed());
    const std::size_t blank = typed.find(' ');
    TSchoolHoliday holiday;
    if (!Taken([&] { holiday.Dates = ParseDateRange(typed.substr(0, blank)); }))
        return leSchoolHoliday->setFocus();
    if (blank != std::string::npos)
        holiday.Name = typed.substr(blank + 1);
    days_.SchoolHolidays =
        calendar::MergeSchoolHolidays(std::move(days_.SchoolHolidays), {holiday});
    leSchoolHoliday->clear();
    ShowLists();
    Tell();
}

void TOperatingDaysPage::btImportIcsClick() {
    const auto path = Dialogs().OpenFileName(
        {QStringLiteral("iCalendar-Dateien (*.ics);;Alle Dateien (*)"), QStringLiteral("ics"), {}});
    if (!path)
        return;
    const auto text = ReadWholeFile(path->toStdString());
    if (!text) {
        Dialogs().ShowMessage(QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(*path));
        return;
    }
    std::vector<TSchoolHoliday> periods;
    if (!Taken([&] { periods = calendar::ReadSchoolHolidaysIcs(*text); }))
        return;
    const std::size_t before = days_.SchoolHolidays.size();
    days_.SchoolHolidays = calendar::MergeSchoolHolidays(std::move(days_.SchoolHolidays), periods);
    ShowLists();
    Tell();
    Dialogs().ShowMessage(QStringLiteral("%1 von %2 Ferienzeiten übernommen.")
                              .arg(days_.SchoolHolidays.size() - before)
                              .arg(periods.size()));
}

void TOperatingDaysPage::btAddSpecialDayClick() {
    TSpecialDay day;
    if (!Taken([&] { day.Dates = ParseDateRange(ToCp1252Lossy(leSpecialDates->text())); }))
        return leSpecialDates->setFocus();
    ParseTreatmentKey(ToCp1252Lossy(cbTreatment->currentData().toString()), day);
    // The same dates again: the new treatment replaces the old one.
    std::erase_if(days_.SpecialDays, [&](const TSpecialDay &d) { return d.Dates == day.Dates; });
    days_.SpecialDays.push_back(day);
    leSpecialDates->clear();
    ShowLists();
    Tell();
}

// ---- Footnotes -----------------------------------------------------------------

TFootnotesPage::TFootnotesPage(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsFootnotes"));
    lbFootnotes = new QListWidget(this);
    lbFootnotes->setObjectName(QStringLiteral("lbFootnotes"));
    leFootnoteSymbol = NewField(this, "leFootnoteSymbol", QStringLiteral("z. B. S"));
    leFootnoteText = NewField(this, "leFootnoteText", QStringLiteral("z. B. nur an Schultagen"));
    cbFootnoteDays = new QComboBox(this);
    cbFootnoteDays->setObjectName(QStringLiteral("cbFootnoteDays"));
    for (const TFootnoteDays days :
         {TFootnoteDays::All, TFootnoteDays::SchoolDays, TFootnoteDays::SchoolHolidays})
        cbFootnoteDays->addItem(FromCp1252(FootnoteDaysText(days)), static_cast<int>(days));
    const QString dates = QStringLiteral("JJJJ-MM-TT, JJJJ-MM-TT..JJJJ-MM-TT");
    leFootnoteNot = NewField(this, "leFootnoteNot", dates);
    leFootnoteAlso = NewField(this, "leFootnoteAlso", dates);
    leFootnoteOnly = NewField(this, "leFootnoteOnly", dates);
    btTakeFootnote = NewButton(this, QStringLiteral("Fußnote übernehmen"), "btTakeFootnote");
    btDeleteFootnote = NewButton(this, QStringLiteral("Fußnote löschen"), "btDeleteFootnote");

    auto *form = new QFormLayout();
    form->addRow(QStringLiteral("Zeichen:"), leFootnoteSymbol);
    form->addRow(QStringLiteral("Text:"), leFootnoteText);
    form->addRow(QStringLiteral("Fährt:"), cbFootnoteDays);
    form->addRow(QStringLiteral("nicht am:"), leFootnoteNot);
    form->addRow(QStringLiteral("auch am:"), leFootnoteAlso);
    form->addRow(QStringLiteral("nur am:"), leFootnoteOnly);
    auto *buttons = new QHBoxLayout();
    buttons->addWidget(btTakeFootnote);
    buttons->addWidget(btDeleteFootnote);
    buttons->addStretch();
    auto *right = new QVBoxLayout();
    right->addLayout(form);
    right->addLayout(buttons);
    right->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(lbFootnotes, 1);
    layout->addLayout(right, 2);

    connect(lbFootnotes, &QListWidget::currentRowChanged, this,
            Guarded([this](int row) { ShowFootnote(row); }));
    connect(btTakeFootnote, &QPushButton::clicked, this,
            Guarded([this] { btTakeFootnoteClick(); }));
    connect(btDeleteFootnote, &QPushButton::clicked, this,
            Guarded([this] { btDeleteFootnoteClick(); }));
}

void TFootnotesPage::Show(const TFootnoteList &footnotes) {
    footnotes_ = footnotes;
    ShowList();
    ShowFootnote(-1);
}

void TFootnotesPage::ShowList() {
    const QSignalBlocker blocker(lbFootnotes);
    lbFootnotes->clear();
    for (const TFootnote &footnote : footnotes_)
        lbFootnotes->addItem(FromCp1252(footnote.Symbol + "  " + footnote.Text + "  (" +
                                        FootnoteRuleText(footnote) + ")"));
}

void TFootnotesPage::ShowFootnote(int row) {
    const TFootnote shown = row >= 0 && row < static_cast<int>(footnotes_.size())
                                ? footnotes_[static_cast<std::size_t>(row)]
                                : TFootnote{};
    leFootnoteSymbol->setText(FromCp1252(shown.Symbol));
    leFootnoteText->setText(FromCp1252(shown.Text));
    cbFootnoteDays->setCurrentIndex(cbFootnoteDays->findData(static_cast<int>(shown.Days)));
    leFootnoteNot->setText(FromCp1252(DateListText(shown.NotOn)));
    leFootnoteAlso->setText(FromCp1252(DateListText(shown.AlsoOn)));
    leFootnoteOnly->setText(FromCp1252(DateListText(shown.OnlyOn)));
}

// A footnote of the symbol typed is replaced, any other symbol is added.
void TFootnotesPage::btTakeFootnoteClick() {
    TFootnote footnote;
    footnote.Symbol = ToCp1252Lossy(leFootnoteSymbol->text().trimmed());
    footnote.Text = ToCp1252Lossy(leFootnoteText->text().trimmed());
    footnote.Days = static_cast<TFootnoteDays>(cbFootnoteDays->currentData().toInt());
    for (const auto &[field, list] :
         {std::pair{leFootnoteNot, &footnote.NotOn}, std::pair{leFootnoteAlso, &footnote.AlsoOn},
          std::pair{leFootnoteOnly, &footnote.OnlyOn}})
        if (!Taken([&] { *list = ParseDateList(ToCp1252Lossy(field->text())); }))
            return field->setFocus();
    TFootnoteList changed = footnotes_;
    const auto same = std::find_if(changed.begin(), changed.end(),
                                   [&](const TFootnote &f) { return f.Symbol == footnote.Symbol; });
    if (same != changed.end())
        *same = footnote;
    else
        changed.push_back(footnote);
    if (!Taken([&] { CheckFootnotes(changed); }))
        return leFootnoteSymbol->setFocus();
    footnotes_ = std::move(changed);
    ShowList();
    lbFootnotes->setCurrentRow(static_cast<int>(
        std::find_if(footnotes_.begin(), footnotes_.end(),
                     [&](const TFootnote &f) { return f.Symbol == footnote.Symbol; }) -
        footnotes_.begin()));
    if (Changed)
        Changed();
}

// A footnote that journeys still carry stays: the timetables would name a
// footnote the project no longer knows.
void TFootnotesPage::btDeleteFootnoteClick() {
    const int row = lbFootnotes->currentRow();
    if (row < 0 || row >= static_cast<int>(footnotes_.size()))
        return;
    const std::string symbol = footnotes_[static_cast<std::size_t>(row)].Symbol;
    if (ProjectDir) {
        const std::size_t uses = JourneysWithFootnote(ProjectDir(), symbol);
        if (uses > 0) {
            Dialogs().ShowMessage(
                QStringLiteral("Die Fußnote %1 tragen noch %2 Fahrten. Nehmen Sie sie dort "
                               "zuerst heraus (Kopfmenü der Fahrt im Fahrplan).")
                    .arg(FromCp1252(symbol))
                    .arg(uses));
            return;
        }
    }
    footnotes_.erase(footnotes_.begin() + row);
    ShowList();
    ShowFootnote(-1);
    if (Changed)
        Changed();
}

} // namespace takton::gui
