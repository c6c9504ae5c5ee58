#pragma once

// The pages "Betriebstage" and "Fußnoten" of the project options: the
// Bundesland whose holidays apply, added holidays, school holidays (typed or
// read from an iCalendar file), special days, and the project's footnotes.
// The pages edit a copy; the options window takes it on saving.

#include "core/model/footnotes.h"
#include "core/model/operating_days.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace takton::gui {

class TOperatingDaysPage : public QWidget {
    Q_OBJECT
  public:
    explicit TOperatingDaysPage(QWidget *parent = nullptr);

    // The controls as the project holds its calendar.
    void Show(const TOperatingDays &days);
    // The calendar as the page holds it, or nothing after telling the
    // planner what is wrong (the added holidays are typed as text).
    std::optional<TOperatingDays> Typed();

    // Told on every change, so the window can show its save button.
    std::function<void()> Changed;

  private:
    QComboBox *cbLand = nullptr;
    QLineEdit *leExtraHolidays = nullptr;
    QListWidget *lbSchoolHolidays = nullptr;
    QLineEdit *leSchoolHoliday = nullptr;
    QPushButton *btAddSchoolHoliday = nullptr;
    QPushButton *btDeleteSchoolHoliday = nullptr;
    QPushButton *btImportIcs = nullptr;
    QListWidget *lbSpecialDays = nullptr;
    QLineEdit *leSpecialDates = nullptr;
    QComboBox *cbTreatment = nullptr;
    QPushButton *btAddSpecialDay = nullptr;
    QPushButton *btDeleteSpecialDay = nullptr;

    void ShowLists();
    void Tell();
    void btAddSchoolHolidayClick();
    void btImportIcsClick();
    void btAddSpecialDayClick();
    TOperatingDays days_;
};

class TFootnotesPage : public QWidget {
    Q_OBJECT
  public:
    explicit TFootnotesPage(QWidget *parent = nullptr);

    void Show(const TFootnoteList &footnotes);
    const TFootnoteList &Footnotes() const { return footnotes_; }

    std::function<void()> Changed;
    // The project folder, to tell whether a footnote is still in use.
    std::function<std::string()> ProjectDir;

  private:
    QListWidget *lbFootnotes = nullptr;
    QLineEdit *leFootnoteSymbol = nullptr;
    QLineEdit *leFootnoteText = nullptr;
    QComboBox *cbFootnoteDays = nullptr;
    QLineEdit *leFootnoteNot = nullptr;
    QLineEdit *leFootnoteAlso = nullptr;
    QLineEdit *leFootnoteOnly = nullptr;
    QPushButton *btTakeFootnote = nullptr;
    QPushButton *btDeleteFootnote = nullptr;

    void ShowList();
    void ShowFootnote(int row);
    void btTakeFootnoteClick();
    void btDeleteFootnoteClick();
    TFootnoteList footnotes_;
};

} // namespace takton::gui
