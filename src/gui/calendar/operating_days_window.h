#pragma once

// "Betriebstage": a year as twelve month grids, the days on which the chosen
// day group (with a footnote, or a journey's footnote) runs marked, public
// holidays and school holidays shaded. Reads the project's calendar and
// footnotes each time it is shown or the choice changes.

#include "core/model/calendar_date.h"
#include "core/model/footnotes.h"
#include "gui/common/lazy_dialog.h"

#include <array>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace takton::gui {

class TfmOperatingDays : public TLazyDialog {
    Q_OBJECT
  public:
    explicit TfmOperatingDays(QWidget *parent = nullptr);

    // Chooses what is shown next: a day group and a footnote (empty: none).
    void Choose(const std::string &dayGroup, const std::string &footnote);
    // Fills the month grids for the chosen year, day group and footnote.
    void ShowYear();

    // The colours of a day that runs, of a holiday and of a school holiday.
    static const QColor &RunsColor();
    static const QColor &HolidayColor();
    static const QColor &SchoolHolidayColor();

  protected:
    void CreateControls() override;
    void showEvent(QShowEvent *event) override;

  private:
    void FillChoices();

    QComboBox *cbDayGroups = nullptr;
    QComboBox *cbFootnotes = nullptr;
    QSpinBox *seYear = nullptr;
    QLabel *lbCount = nullptr;
    std::array<QLabel *, 12> monthTitles_{};
    std::array<QTableWidget *, 12> months_{};
    std::string chosenGroup_, chosenFootnote_;
    // The project's footnotes, read when the choices are filled.
    TFootnoteList footnotes_;
    bool filling_ = false;
};

} // namespace takton::gui
