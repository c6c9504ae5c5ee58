#include "gui/editors/edit_project.h"

#include "core/files/file_io.h"
#include "core/files/write_batch.h"
#include "core/model/footnotes.h"
#include "core/model/line_data.h"
#include "core/model/master_data.h"
#include "core/model/names.h"
#include "core/model/prj_params.h"
#include "core/model/prj_save.h"
#include "core/model/project_rules.h"
#include "core/util/cp1252.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "gui/common/project_guard.h"
#include "gui/editors/operating_days_page.h"
#include "render/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace takton::gui {
namespace {

// Shift and a click select every weekday from the current one to the one
// clicked, as lists do elsewhere; a plain click still toggles one day.
class TRangeClicks : public QObject {
  public:
    explicit TRangeClicks(QListWidget &list) : QObject(&list), list_(list) {
        list.viewport()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched != list_.viewport())
            return false;
        const bool press = event->type() == QEvent::MouseButtonPress ||
                           event->type() == QEvent::MouseButtonDblClick;
        if (event->type() == QEvent::MouseButtonRelease && swallowRelease_) {
            swallowRelease_ = false;
            return true;
        }
        if (!press)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !(mouse->modifiers() & Qt::ShiftModifier))
            return false;
        QListWidgetItem *clicked = list_.itemAt(mouse->position().toPoint());
        const int anchor = list_.currentRow();
        if (!clicked || anchor < 0)
            return false;
        const int to = list_.row(clicked);
        for (int row = std::min(anchor, to); row <= std::max(anchor, to); ++row)
            list_.item(row)->setSelected(true);
        list_.setCurrentRow(to, QItemSelectionModel::NoUpdate);
        swallowRelease_ = true;
        return true;
    }

  private:
    QListWidget &list_;
    bool swallowRelease_ = false;
};

} // namespace

QStringList WeekDayNames() {
    return {QStringLiteral("Montag"),     QStringLiteral("Dienstag"), QStringLiteral("Mittwoch"),
            QStringLiteral("Donnerstag"), QStringLiteral("Freitag"),  QStringLiteral("Sonnabend"),
            QStringLiteral("Sonntag")};
}

TfmEditProject::TfmEditProject(QWidget *parent) : TLazyDialog(parent) {
    setObjectName(QStringLiteral("fmEditProject"));
    setWindowTitle(QStringLiteral("fmEditProject"));
    setModal(true);
}

void TfmEditProject::CreateControls() {
    pcRubrik = new QTabWidget(this);
    pcRubrik->setObjectName(QStringLiteral("pcRubrik"));
    CreateStationPage();
    tsLineOptions = new QWidget(pcRubrik);
    tsLineOptions->setObjectName(QStringLiteral("tsLineOptions"));
    pcRubrik->addTab(tsLineOptions, QStringLiteral("Linien"));
    CreateDaysPage();
    CreateTimeTablePage();
    CreatePublishingPage();
    CreateCalendarPages();
    pcRubrik->setCurrentWidget(tsDays);

    CreateButtons();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pcRubrik, 1);
    auto *buttons = new QHBoxLayout();
    buttons->addWidget(btSave);
    buttons->addWidget(btCancel);
    buttons->addStretch(1);
    buttons->addWidget(btClose);
    layout->addLayout(buttons);
    resize(620, 400);

    EditOff();
}

TfmEditProject::~TfmEditProject() = default;

void TfmEditProject::CreateStationPage() {
    tsStationOptions = new QWidget(pcRubrik);
    tsStationOptions->setObjectName(QStringLiteral("tsStationOptions"));
    pcRubrik->addTab(tsStationOptions, QStringLiteral("Stationen"));

    // Which fields the stations editor shows; stored with the project file.
    gbStationFields = new QGroupBox(QStringLiteral("Daten für Stationen"), tsStationOptions);
    gbStationFields->setObjectName(QStringLiteral("gbStationFields"));
    cbPrjGeoPosition = new QCheckBox(QStringLiteral("Geo-Positionen"), gbStationFields);
    cbPrjGeoPosition->setObjectName(QStringLiteral("cbPrjGeoPosition"));
    cbPrjTarifZone = new QCheckBox(QStringLiteral("Tarifzone"), gbStationFields);
    cbPrjTarifZone->setObjectName(QStringLiteral("cbPrjTarifZone"));
    cbPrjTarifRing = new QCheckBox(QStringLiteral("Tarifring"), gbStationFields);
    cbPrjTarifRing->setObjectName(QStringLiteral("cbPrjTarifRing"));
    auto *layout = new QVBoxLayout(gbStationFields);
    for (QCheckBox *box : {cbPrjGeoPosition, cbPrjTarifZone, cbPrjTarifRing}) {
        layout->addWidget(box);
        connect(box, &QCheckBox::clicked, this, [this] { EditOn(); });
    }
    auto *pageLayout = new QVBoxLayout(tsStationOptions);
    pageLayout->addWidget(gbStationFields);
    pageLayout->addStretch(1);
    ShowStationFields();
}

void TfmEditProject::ShowStationFields() {
    const TStationFields &fields = Project().PrjParams.StationFields;
    cbPrjGeoPosition->setChecked(fields.GeoPosition);
    cbPrjTarifZone->setChecked(fields.TarifZone);
    cbPrjTarifRing->setChecked(fields.TarifRing);
}

void TfmEditProject::CreateDaysPage() {
    tsDays = new QWidget(pcRubrik);
    tsDays->setObjectName(QStringLiteral("tsDays"));
    pcRubrik->addTab(tsDays, QStringLiteral("Tag-Gruppen"));

    GroupBox1 = new QGroupBox(QStringLiteral("Fahrtage zuweisen"), tsDays);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *pageLayout = new QVBoxLayout(tsDays);
    pageLayout->addWidget(GroupBox1);
    auto *columns = new QGridLayout(GroupBox1);

    // Left: a new day group.
    leNewDaysName = new QLineEdit(GroupBox1);
    leNewDaysName->setObjectName(QStringLiteral("leNewDaysName"));
    leNewDaysText = new QLineEdit(GroupBox1);
    leNewDaysText->setObjectName(QStringLiteral("leNewDaysText"));
    lbAllDays = new QListWidget(GroupBox1);
    lbAllDays->setObjectName(QStringLiteral("lbAllDays"));
    lbAllDays->addItems(WeekDayNames());
    lbAllDays->setSelectionMode(QAbstractItemView::MultiSelection);
    new TRangeClicks(*lbAllDays);
    auto *left = new QFormLayout();
    left->addRow(QStringLiteral("Name:"), leNewDaysName);
    left->addRow(QStringLiteral("Text:"), leNewDaysText);
    left->addRow(lbAllDays);
    columns->addLayout(left, 0, 0);

    btAddDayGroup = new QPushButton(QStringLiteral("hinzufügen >>"), GroupBox1);
    btAddDayGroup->setObjectName(QStringLiteral("btAddDayGroup"));
    btAddDayGroup->setAutoDefault(false);
    columns->addWidget(btAddDayGroup, 0, 1, Qt::AlignVCenter);

    // Right: the existing groups.
    StaticText1 = new QLabel(QStringLiteral("Name:"), GroupBox1);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    cbDayGroups = new QComboBox(GroupBox1);
    cbDayGroups->setObjectName(QStringLiteral("cbDayGroups"));
    cbDayGroups->setEditable(true);
    // Typed text only looks a group up; it never becomes an entry of the box.
    cbDayGroups->setInsertPolicy(QComboBox::NoInsert);
    leDayGroupText = new QLineEdit(GroupBox1);
    leDayGroupText->setObjectName(QStringLiteral("leDayGroupText"));
    leDayGroupText->setReadOnly(true);
    leDayGroupText->setFocusPolicy(Qt::ClickFocus);
    lbDayGroups = new QListWidget(GroupBox1);
    lbDayGroups->setObjectName(QStringLiteral("lbDayGroups"));
    auto *right = new QVBoxLayout();
    right->addWidget(StaticText1);
    right->addWidget(cbDayGroups);
    auto *textRow = new QFormLayout();
    textRow->addRow(QStringLiteral("Text:"), leDayGroupText);
    right->addLayout(textRow);
    right->addWidget(lbDayGroups);
    // Renaming and deleting the group the box names.
    leRenameDayGroup = new QLineEdit(GroupBox1);
    leRenameDayGroup->setObjectName(QStringLiteral("leRenameDayGroup"));
    btRenameDayGroup = new QPushButton(QStringLiteral("umbenennen"), GroupBox1);
    btRenameDayGroup->setObjectName(QStringLiteral("btRenameDayGroup"));
    btRenameDayGroup->setAutoDefault(false);
    btDeleteDayGroup = new QPushButton(QStringLiteral("löschen"), GroupBox1);
    btDeleteDayGroup->setObjectName(QStringLiteral("btDeleteDayGroup"));
    btDeleteDayGroup->setAutoDefault(false);
    auto *renameRow = new QFormLayout();
    renameRow->addRow(QStringLiteral("Neuer Name:"), leRenameDayGroup);
    right->addLayout(renameRow);
    auto *groupButtons = new QHBoxLayout();
    groupButtons->addWidget(btRenameDayGroup);
    groupButtons->addWidget(btDeleteDayGroup);
    groupButtons->addStretch(1);
    right->addLayout(groupButtons);
    columns->addLayout(right, 0, 2);

    connect(btAddDayGroup, &QPushButton::clicked, this, Guarded([this] { btAddDayGroupClick(); }));
    connect(btRenameDayGroup, &QPushButton::clicked, this,
            Guarded([this] { btRenameDayGroupClick(); }));
    connect(btDeleteDayGroup, &QPushButton::clicked, this,
            Guarded([this] { btDeleteDayGroupClick(); }));
    connect(cbDayGroups, &QComboBox::currentIndexChanged, this,
            Guarded([this] { cbDayGroupsChange(); }));
    connect(cbDayGroups, &QComboBox::editTextChanged, this,
            Guarded([this](const QString &typed) { ShowTypedDayGroup(typed); }));
}

void TfmEditProject::CreateTimeTablePage() {
    tsTimeTable = new QWidget(pcRubrik);
    tsTimeTable->setObjectName(QStringLiteral("tsTimeTable"));
    pcRubrik->addTab(tsTimeTable, QStringLiteral("Fahrplan"));

    GroupBox2 = new QGroupBox(QStringLiteral("Zeit-Einstellungen"), tsTimeTable);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto *pageLayout = new QVBoxLayout(tsTimeTable);
    pageLayout->addWidget(GroupBox2);
    pageLayout->addStretch(1);

    leMaxDriveMinutes = new QLineEdit(GroupBox2);
    leMaxDriveMinutes->setObjectName(QStringLiteral("leMaxDriveMinutes"));
    leMaxDriveMinutes->setText(QString::number(Project().PrjParams.MaxDriveMinutes));
    leMaxOverlapMinutes = new QLineEdit(GroupBox2);
    leMaxOverlapMinutes->setObjectName(QStringLiteral("leMaxOverlapMinutes"));
    auto *overlapLabel = new QLabel(
        QStringLiteral("Maximaler Vorsprung in Minuten bei später startender Fahrt gleicher Linie"),
        GroupBox2);
    auto *form = new QFormLayout(GroupBox2);
    form->addRow(QStringLiteral("Maximale Fahrzeit in Minuten zwischen 2 Stationen:"),
                 leMaxDriveMinutes);
    form->addRow(overlapLabel, leMaxOverlapMinutes);
    seMinChangeMinutes = new QSpinBox(GroupBox2);
    seMinChangeMinutes->setObjectName(QStringLiteral("seMinChangeMinutes"));
    seMinChangeMinutes->setRange(0, 120);
    ShowMinChangeMinutes();
    form->addRow(QStringLiteral("Mindest-Umsteigezeit in Minuten (Verbindungs-Abfrage):"),
                 seMinChangeMinutes);
    connect(seMinChangeMinutes, &QSpinBox::valueChanged, this, [this] { EditOn(); });
    // Kept for later tasks: nothing shows, reads or stores it.
    overlapLabel->hide();
    leMaxOverlapMinutes->hide();

    leMaxDriveMinutes->installEventFilter(this);
    leMaxOverlapMinutes->installEventFilter(this);
    // Pasting, cutting or deleting changes the field without a typed digit;
    // the change must still be savable.
    connect(leMaxDriveMinutes, &QLineEdit::textEdited, this, [this] { EditOn(); });
}

void TfmEditProject::CreatePublishingPage() {
    tsPublishing = new QWidget(pcRubrik);
    tsPublishing->setObjectName(QStringLiteral("tsPublishing"));
    pcRubrik->addTab(tsPublishing, QStringLiteral("Veröffentlichung"));

    const auto textField = [this](const char *name) {
        auto *field = new QLineEdit(tsPublishing);
        field->setObjectName(QString::fromLatin1(name));
        connect(field, &QLineEdit::textEdited, this, [this] { EditOn(); });
        return field;
    };
    leAgencyName = textField("leAgencyName");
    leAgencyUrl = textField("leAgencyUrl");
    leAgencyUrl->setPlaceholderText(QStringLiteral("https://"));
    leTimezone = textField("leTimezone");
    leLanguage = textField("leLanguage");
    deFirstDate = CreateDateField(cbFirstDate, QStringLiteral("gültig ab"), "FirstDate");
    deLastDate = CreateDateField(cbLastDate, QStringLiteral("gültig bis"), "LastDate");
    cbRouteType = new QComboBox(tsPublishing);
    cbRouteType->setObjectName(QStringLiteral("cbRouteType"));
    connect(cbRouteType, &QComboBox::activated, this, [this] { EditOn(); });

    auto *form = new QFormLayout(tsPublishing);
    form->addRow(QStringLiteral("Verkehrsunternehmen:"), leAgencyName);
    form->addRow(QStringLiteral("Internetadresse:"), leAgencyUrl);
    form->addRow(QStringLiteral("Zeitzone:"), leTimezone);
    form->addRow(QStringLiteral("Sprache:"), leLanguage);
    form->addRow(cbFirstDate, deFirstDate);
    form->addRow(cbLastDate, deLastDate);
    form->addRow(QStringLiteral("Fahrzeugart:"), cbRouteType);
    ShowPublishing();
}

QDateEdit *TfmEditProject::CreateDateField(QCheckBox *&box, const QString &caption,
                                           const char *name) {
    box = new QCheckBox(caption, tsPublishing);
    box->setObjectName(QStringLiteral("cb") + QString::fromLatin1(name));
    auto *field = new QDateEdit(tsPublishing);
    field->setObjectName(QStringLiteral("de") + QString::fromLatin1(name));
    field->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    field->setCalendarPopup(true);
    field->setEnabled(false);
    connect(box, &QCheckBox::clicked, this, [this, field](bool checked) {
        field->setEnabled(checked);
        EditOn();
    });
    connect(field, &QDateEdit::dateChanged, this, [this] { EditOn(); });
    return field;
}

namespace {

// "JJJJMMTT" as the project file keeps the feed's dates.
constexpr auto kStoredDateFormat = "yyyyMMdd";

void ShowDate(QCheckBox &box, QDateEdit &field, const std::string &stored) {
    const QDate date =
        QDate::fromString(QString::fromLatin1(stored), QLatin1String(kStoredDateFormat));
    const QSignalBlocker blocker(field);
    box.setChecked(date.isValid());
    field.setEnabled(date.isValid());
    field.setDate(date.isValid() ? date : QDate::currentDate());
}

std::string TypedDate(const QCheckBox &box, const QDateEdit &field) {
    if (!box.isChecked())
        return {};
    return field.date().toString(QLatin1String(kStoredDateFormat)).toStdString();
}

} // namespace

void TfmEditProject::ShowPublishing() {
    const TPublishing &publishing = Project().PrjParams.Publishing;
    leAgencyName->setText(FromCp1252(publishing.AgencyName));
    leAgencyUrl->setText(FromCp1252(publishing.AgencyUrl));
    leTimezone->setText(FromCp1252(publishing.Timezone));
    leLanguage->setText(FromCp1252(publishing.Language));
    ShowDate(*cbFirstDate, *deFirstDate, publishing.FirstDate);
    ShowDate(*cbLastDate, *deLastDate, publishing.LastDate);
    cbRouteType->clear();
    for (const TRouteTypeName &type : RouteTypeNames())
        cbRouteType->addItem(FromCp1252(type.Name), type.Code);
    // A type from the file that the list does not name stays choosable.
    if (cbRouteType->findData(publishing.RouteType) < 0)
        cbRouteType->addItem(FromCp1252(RouteTypeName(publishing.RouteType)), publishing.RouteType);
    cbRouteType->setCurrentIndex(cbRouteType->findData(publishing.RouteType));
}

std::optional<TPublishing> TfmEditProject::TypedPublishing() {
    const auto refuse = [this](const QString &why, QWidget *field) {
        Dialogs().ShowMessage(why + QStringLiteral(" Es wurde nichts gespeichert."));
        pcRubrik->setCurrentWidget(tsPublishing);
        field->setFocus();
        return std::nullopt;
    };
    TPublishing typed;
    const auto name = ToCp1252(leAgencyName->text().trimmed());
    if (!name)
        return refuse(QStringLiteral("Der Name des Verkehrsunternehmens darf nur Zeichen des "
                                     "westeuropäischen Zeichensatzes enthalten."),
                      leAgencyName);
    typed.AgencyName = *name;
    const QString url = leAgencyUrl->text().trimmed();
    const auto urlText = ToCp1252(url);
    if (!url.isEmpty() && (!urlText || !(url.startsWith(QLatin1String("http://")) ||
                                         url.startsWith(QLatin1String("https://")))))
        return refuse(
            QStringLiteral("Die Internetadresse muss mit http:// oder https:// beginnen."),
            leAgencyUrl);
    typed.AgencyUrl = urlText.value_or(std::string());
    const QString timezone = leTimezone->text().trimmed();
    if (timezone.isEmpty() || !ToCp1252(timezone))
        return refuse(QStringLiteral("Bitte geben Sie die Zeitzone an (etwa Europe/Berlin)."),
                      leTimezone);
    typed.Timezone = *ToCp1252(timezone);
    const QString language = leLanguage->text().trimmed();
    if (language.isEmpty() || !ToCp1252(language))
        return refuse(QStringLiteral("Bitte geben Sie die Sprache an (etwa de)."), leLanguage);
    typed.Language = *ToCp1252(language);
    typed.FirstDate = TypedDate(*cbFirstDate, *deFirstDate);
    typed.LastDate = TypedDate(*cbLastDate, *deLastDate);
    // Both dates are "JJJJMMTT", so their text order is their date order.
    if (!typed.FirstDate.empty() && !typed.LastDate.empty() && typed.LastDate < typed.FirstDate)
        return refuse(QStringLiteral("Das Ende des Gültigkeitszeitraums liegt vor seinem Beginn."),
                      deLastDate);
    typed.RouteType = cbRouteType->currentData().toInt();
    return typed;
}

void TfmEditProject::ShowPublishingPage() {
    EnsureControls();
    pcRubrik->setCurrentWidget(tsPublishing);
}

void TfmEditProject::ShowTimetablePage() {
    EnsureControls();
    pcRubrik->setCurrentWidget(tsTimeTable);
}

void TfmEditProject::CreateButtons() {
    btSave = new QPushButton(QStringLiteral("Änderungen speichern"), this);
    btSave->setObjectName(QStringLiteral("btSave"));
    btSave->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Änderungen verwerfen"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setAutoDefault(false);
    btClose = new QPushButton(QStringLiteral("Fenser schließen"), this);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setAutoDefault(false);
    connect(btSave, &QPushButton::clicked, this, Guarded([this] { btSaveClick(); }));
    connect(btCancel, &QPushButton::clicked, this, Guarded([this] { btCancelClick(); }));
    connect(btClose, &QPushButton::clicked, this, Guarded([this] { btCloseClick(); }));
}

void TfmEditProject::EditOn() {
    EnsureControls();
    btSave->setVisible(true);
}

void TfmEditProject::EditOff() {
    EnsureControls();
    btSave->setVisible(false);
}

void TfmEditProject::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    // Restoring a minimised window is no new showing: an open edit stays.
    if (!event->spontaneous())
        FormShow();
}

void TfmEditProject::FormShow() {
    ShowCalendar();
    EditOff();
}

void TfmEditProject::CreateCalendarPages() {
    tsOperatingDays = new TOperatingDaysPage(pcRubrik);
    pcRubrik->addTab(tsOperatingDays, QStringLiteral("Betriebstage"));
    tsOperatingDays->Changed = [this] { EditOn(); };
    tsFootnotes = new TFootnotesPage(pcRubrik);
    pcRubrik->addTab(tsFootnotes, QStringLiteral("Fußnoten"));
    tsFootnotes->Changed = [this] { EditOn(); };
    tsFootnotes->ProjectDir = [this] { return Project().ProjectDir; };
}

void TfmEditProject::ShowCalendar() {
    tsOperatingDays->Show(Project().PrjParams.Calendar);
    tsFootnotes->Show(Project().ProjectDir.empty() ? TFootnoteList()
                                                   : LoadFootnotes(Project().ProjectDir));
    footnotesOf_ = Project().ProjectDir;
}

void TfmEditProject::SaveCalendarAndProject() {
    const std::string &dir = Project().ProjectDir;
    const TFootnoteList &footnotes = tsFootnotes->Footnotes();
    TWriteBatch batch(dir);
    SaveProjectFile(Project().ProjectFile, Project().PrjParams);
    // A project that never had footnotes gets no file for none.
    if (footnotesOf_ == dir && (!footnotes.empty() || FileExists(ProjectPath(dir, kFootnotesFile))))
        SaveFootnotes(dir, footnotes);
    batch.Commit();
}

void TfmEditProject::keyPressEvent(QKeyEvent *event) {
    // Escape means "Änderungen verwerfen", as the window's cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btCancel->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfmEditProject::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress &&
        (watched == leMaxDriveMinutes || watched == leMaxOverlapMinutes))
        return MinuteFieldKeyPress(*static_cast<QKeyEvent *>(event));
    return QDialog::eventFilter(watched, event);
}

bool TfmEditProject::MinuteFieldKeyPress(QKeyEvent &event) {
    const QString typed = event.text();
    const bool isDigit =
        typed.size() == 1 && typed[0] >= QLatin1Char('0') && typed[0] <= QLatin1Char('9');
    if (event.key() == Qt::Key_Backspace || isDigit) {
        EditOn();
        return false;
    }
    // Other typed characters are dropped; keys without a character (cursor
    // keys, shortcuts such as Ctrl+V) go on to the field.
    const bool isCharacter = !typed.isEmpty() && typed[0].isPrint() &&
                             !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    return isCharacter;
}

void TfmEditProject::SetDayGroups() {
    EnsureControls();
    const QSignalBlocker blocker(cbDayGroups);
    cbDayGroups->clear();
    leDayGroupText->clear();
    lbDayGroups->clear();
    for (const TDayGroupItem &group : Project().PrjParams.DayGroups)
        cbDayGroups->addItem(FromCp1252(group.Name));
    if (cbDayGroups->count() == 0) {
        cbDayGroups->setCurrentIndex(-1);
        cbDayGroups->setEditText(QString());
        return;
    }
    cbDayGroups->setCurrentIndex(0);
    ShowDayGroup(0);
}

void TfmEditProject::ShowDayGroup(int index) {
    leDayGroupText->clear();
    lbDayGroups->clear();
    if (index < 0 || index >= static_cast<int>(Project().PrjParams.DayGroups.size()))
        return;
    const TDayGroupItem &group = Project().PrjParams.DayGroups[static_cast<std::size_t>(index)];
    leDayGroupText->setText(FromCp1252(group.Text));
    const QStringList names = WeekDayNames();
    for (int day = 0; day < kWeekDayCount; ++day)
        if (HasDay(group.Days, day))
            lbDayGroups->addItem(names[day]);
}

void TfmEditProject::cbDayGroupsChange() {
    ShowDayGroup(cbDayGroups->currentIndex());
}

void TfmEditProject::ShowTypedDayGroup(const QString &typed) {
    // Typed text that names a group (in any case) shows it; any other text
    // shows no group.
    ShowDayGroup(cbDayGroups->findText(typed, Qt::MatchFixedString));
}

void TfmEditProject::btAddDayGroupClick() {
    TDaySet days = 0;
    for (int day = 0; day < lbAllDays->count() && day < kWeekDayCount; ++day)
        if (lbAllDays->item(day)->isSelected())
            days = WithDay(days, day);
    const QString typedName = leNewDaysName->text();
    const QString typedText = leNewDaysText->text();
    const auto name = ToCp1252(typedName);
    const auto text = ToCp1252(typedText);
    if (!name || !text) {
        Dialogs().ShowMessage(
            QStringLiteral("Name und Text dürfen nur Zeichen des westeuropäischen "
                           "Zeichensatzes enthalten."));
        return;
    }
    if (const auto why = CheckDayGroupName(*name)) {
        Dialogs().ShowMessage(FromCp1252(*why));
        return;
    }
    // The file's keys and the timetables' sections ignore case: "sa" is "Sa".
    if (std::any_of(Project().PrjParams.DayGroups.begin(), Project().PrjParams.DayGroups.end(),
                    [&](const TDayGroupItem &group) { return SameTextCi(group.Name, *name); })) {
        Dialogs().ShowMessage(QStringLiteral("Tagesgruppe schon vorhanden!"));
        leNewDaysName->setFocus();
        return;
    }
    TDayGroupItem group{*name, *text, days};
    // Without a weekday the planner is told what is missing; no name or
    // text or the same text: refused without a message.
    if (days == 0) {
        Dialogs().ShowMessage(QStringLiteral("Bitte wählen Sie mindestens einen Wochentag aus."));
        lbAllDays->setFocus();
        return;
    }
    if (CheckNewDayGroup(Project().PrjParams, group))
        return;

    EditOn();
    Project().PrjParams.DayGroups.push_back(group);
    const int index = static_cast<int>(Project().PrjParams.DayGroups.size()) - 1;
    {
        const QSignalBlocker blocker(cbDayGroups);
        cbDayGroups->addItem(typedName);
        cbDayGroups->setCurrentIndex(cbDayGroups->findText(typedName, Qt::MatchFixedString));
    }
    ShowDayGroup(index);
}

void TfmEditProject::btSaveClick() {
    const auto minutes = ParseDriveMinutes(ToCp1252Lossy(leMaxDriveMinutes->text()));
    if (!minutes) {
        Dialogs().ShowMessage(QStringLiteral(
            "Die maximale Fahrzeit muss als ganze Zahl von Minuten (nur Ziffern) eingegeben "
            "werden. Es wurde nichts gespeichert."));
        pcRubrik->setCurrentWidget(tsTimeTable);
        leMaxDriveMinutes->setFocus();
        return;
    }
    const std::optional<TPublishing> publishing = TypedPublishing();
    if (!publishing)
        return;
    const std::optional<TOperatingDays> calendar = tsOperatingDays->Typed();
    if (!calendar) {
        pcRubrik->setCurrentWidget(tsOperatingDays);
        return;
    }
    if (NoProjectFile(Project()))
        return;
    const TOverwrite overwrite = MayOverwriteProjectFile(Project());
    if (overwrite == TOverwrite::Keep)
        return;
    if (overwrite == TOverwrite::Reload) {
        LoadProjectFile(Project().ProjectFile, Project().PrjParams, this);
        StampProjectFile(Project());
        btCancelClick();
        return;
    }
    Project().PrjParams.MaxDriveMinutes = *minutes;
    Project().PrjParams.MinChangeMinutes = seMinChangeMinutes->value();
    Project().PrjParams.Publishing = *publishing;
    Project().PrjParams.StationFields = {cbPrjGeoPosition->isChecked(), cbPrjTarifZone->isChecked(),
                                         cbPrjTarifRing->isChecked()};
    Project().PrjParams.Calendar = *calendar;
    SaveCalendarAndProject();
    StampProjectFile(Project());
    EditOff();
}

void TfmEditProject::btCancelClick() {
    // The minutes, station fields and publishing options go back to what is stored; added day
    // groups stay.
    leMaxDriveMinutes->setText(QString::number(Project().PrjParams.MaxDriveMinutes));
    ShowMinChangeMinutes();
    ShowStationFields();
    ShowPublishing();
    ShowCalendar();
    EditOff();
}

std::optional<std::string> TfmEditProject::NamedDayGroup() const {
    // The group the box's text names, not the one last selected: text typed
    // over a group's name must not make that group the one acted on.
    const auto typed = ToCp1252(cbDayGroups->currentText());
    const int at = typed ? IndexOfDayGroup(Project().PrjParams, *typed) : -1;
    if (at < 0) {
        Dialogs().ShowMessage(QStringLiteral("Bitte wählen Sie eine vorhandene Tag-Gruppe aus."));
        return std::nullopt;
    }
    return Project().PrjParams.DayGroups[static_cast<std::size_t>(at)].Name;
}

void TfmEditProject::ShowDayGroupsSelecting(const std::string &name) {
    SetDayGroups();
    const int at = IndexOfDayGroup(Project().PrjParams, name);
    if (at >= 0) {
        cbDayGroups->setCurrentIndex(at);
        ShowDayGroup(at);
    }
}

void TfmEditProject::btRenameDayGroupClick() {
    const auto oldName = NamedDayGroup();
    if (!oldName)
        return;
    const auto newName = ToCp1252(leRenameDayGroup->text().trimmed());
    if (!newName) {
        Dialogs().ShowMessage(FromCp1252(NameNotInCodePageMessage()));
        return;
    }
    if (NoProjectFile(Project()))
        return;
    if (*newName == *oldName)
        return;
    if (const auto refusal = RenameDayGroup(Project().PrjParams, *oldName, *newName)) {
        Dialogs().ShowMessage(FromCp1252(*refusal));
        return;
    }
    // The project file first, then the timetables, as a register goes before
    // its cascade.
    TWriteBatch batch(Project().ProjectDir);
    SaveProjectFile(Project().ProjectFile, Project().PrjParams);
    CascadeRenameDayGroup(Project().ProjectDir, *oldName, *newName);
    batch.Commit();
    StampProjectFile(Project());
    leRenameDayGroup->clear();
    ShowDayGroupsSelecting(*newName);
}

void TfmEditProject::btDeleteDayGroupClick() {
    const auto name = NamedDayGroup();
    if (!name || NoProjectFile(Project()))
        return;
    const int lose = CountTimetablesWithDayGroup(Project().ProjectDir, *name);
    QString question = QStringLiteral("Möchten Sie die Tag-Gruppe ") + FromCp1252(*name) +
                       QStringLiteral(" wirklich löschen?\n");
    question += lose == 1
                    ? QStringLiteral("1 Fahrplan verliert seinen Abschnitt dieser Tag-Gruppe.")
                    : QStringLiteral("%1 Fahrpläne verlieren ihren Abschnitt dieser "
                                     "Tag-Gruppe.")
                          .arg(lose);
    if (Dialogs().Confirm(QStringLiteral("Bestätigung"), question) != Answer::Yes)
        return;
    DeleteDayGroup(Project().PrjParams, *name);
    TWriteBatch batch(Project().ProjectDir);
    SaveProjectFile(Project().ProjectFile, Project().PrjParams);
    CascadeDeleteDayGroup(Project().ProjectDir, *name);
    batch.Commit();
    StampProjectFile(Project());
    SetDayGroups();
}

void TfmEditProject::btCloseClick() {
    close();
}

void TfmEditProject::DayGroupsLoaded() {
    SetDayGroups();
}

void TfmEditProject::StationFieldsLoaded() {
    EnsureControls();
    ShowStationFields();
}

void TfmEditProject::PublishingLoaded() {
    EnsureControls();
    ShowPublishing();
    tsOperatingDays->Show(Project().PrjParams.Calendar);
}

void TfmEditProject::MaxDriveMinutesLoaded(const std::string &text) {
    EnsureControls();
    leMaxDriveMinutes->setText(FromCp1252(text));
    ShowMinChangeMinutes(); // read with the driving minutes
}

void TfmEditProject::ShowMinChangeMinutes() {
    const QSignalBlocker blocker(seMinChangeMinutes);
    seMinChangeMinutes->setValue(Project().PrjParams.MinChangeMinutes);
}

} // namespace takton::gui
