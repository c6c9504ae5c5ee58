#pragma once

// The timetable checks ask their question through IQuestioner; in the program
// the question is a box of the dialog seam with "&Ja" and "&Nein".

#include "core/model/timetable_check.h"
#include "gui/common/dialogs.h"
#include "render/qt_text.h"

namespace takton::gui {

class TDialogQuestioner : public IQuestioner {
  public:
    bool AskYesNo(const std::string &questionCp1252) override {
        return Dialogs().Ask(QStringLiteral("Bestätigung"), FromCp1252(questionCp1252)) ==
               Answer::Yes;
    }
};

} // namespace takton::gui
