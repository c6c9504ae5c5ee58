#pragma once

// "Drucken": what to print (the table of one timetable, every timetable of a
// line, or a station's departure poster), then a print preview, the print
// dialog or a PDF file. Reads the project each time it is shown.

#include "core/layout/poster.h"
#include "core/layout/print_timetable.h"
#include "gui/common/lazy_dialog.h"

#include <QString>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QPagedPaintDevice;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace takton::gui {

class TfmPrint : public TLazyDialog {
    Q_OBJECT
  public:
    explicit TfmPrint(QWidget *parent = nullptr);

    // The timetable open in the editor, printed as it stands there (also
    // unsaved) and chosen when the window is shown next; nothing: the files.
    void SetOpenTimetable(std::optional<print::TPrintTimetable> table);

    void FormShow();
    void btPreviewClick();
    void btPrintClick();
    void btPdfClick();

  protected:
    void CreateControls() override;
    void showEvent(QShowEvent *event) override;

  private:
    QRadioButton *rbTimetable = nullptr;
    QRadioButton *rbLine = nullptr;
    QRadioButton *rbPoster = nullptr;
    QComboBox *cbLines = nullptr;
    QComboBox *cbDirection = nullptr;
    QComboBox *cbDays = nullptr;
    QComboBox *cbStations = nullptr;
    // What was written where, or why there is nothing to print.
    QLabel *laStatus = nullptr;
    QPushButton *btPreview = nullptr;
    QPushButton *btPrint = nullptr;
    QPushButton *btPdf = nullptr;
    QPushButton *btClose = nullptr;

    // The chosen document painted onto a device whose page layout it sets:
    // the poster, or the timetables read before.
    bool Paint(QPagedPaintDevice &device, const std::vector<print::TPrintTimetable> &tables);
    void PreparePrinter(QPrinter &printer);
    std::vector<print::TPrintTimetable> ChosenTimetables() const;
    // The chosen timetables, each file read once, or nothing with the reason
    // in the status line when there is none or none has a journey.
    std::optional<std::vector<print::TPrintTimetable>> PrintableTimetables();
    // What a print or preview paints: nothing chosen for a poster, else the
    // printable timetables (nothing, with the reason shown, when refused).
    std::optional<std::vector<print::TPrintTimetable>> ToPrint();
    // Each direction with the end station it runs to, after the line's route.
    void FillDirections();
    int ChosenDirection() const;
    bool PosterChosen() const;
    void UpdateChoice();
    QString ProposedPdfName() const;

    std::optional<print::TPrintTimetable> openTimetable_;
};

} // namespace takton::gui
