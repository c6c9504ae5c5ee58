#pragma once

// What the master-data editors share: list boxes of station and line names,
// labelled fields and plain buttons. Each list item keeps the name exactly as
// the file holds it (cp1252), so that a name goes back to the core unchanged
// whatever the display made of it.

#include "core/model/list_text.h"
#include "gui/common/buttons.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QAbstractButton;

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QWidget;

namespace takton::gui {

QListWidgetItem *NewNameItem(const std::string &name);
// Replaces the items by the names, in the order given.
void FillNameList(QListWidget &list, const TStringList &names);
// Replaces the items by the names of a register file of the current project,
// in alphabetical order without regard to case; none without a project.
void FillSortedNameList(QListWidget &list, const std::string &projectDir,
                        std::string_view registerFile);
// Replaces the items by the lines of "lines.csv" in natural order (1, 2, 10,
// N 5); none without a project. The file keeps its own order.
void FillLineNameList(QListWidget &list, const std::string &projectDir);
// Lines in natural order, joined by ", " for a question.
QString LineNamesText(TStringList lines);
// Replaces the items by the route of the line selected in lines; none when no
// line is selected, no project is current or the line has no route.
void FillLineStations(QListWidget &list, const std::string &projectDir, const QListWidget &lines);
std::string ItemName(const QListWidgetItem &item);
TStringList ItemNames(const QListWidget &list);
// The one selected item's name, or nothing when no item is selected.
std::optional<std::string> SelectedName(const QListWidget &list);
// Selects and shows the item holding the name (case included), if any.
void SelectName(QListWidget &list, const std::string &name);
// Clears selection and current item: no name is selected.
void SelectNoName(QListWidget &list);

// A name typed by the user in cp1252, blanks at either end trimmed, or
// nothing after telling the user that it holds characters the project files
// cannot store.
std::optional<std::string> TypedName(const QString &typed);

// Delete on the list clicks the delete button, a double-click on an item the
// edit button: each only while its button is shown and enabled, so that a
// key never starts what the window does not offer (read-only, entry state).
void ConnectListKeys(QListWidget &list, QAbstractButton &edit, QAbstractButton &del);
// Clicks the button when it is shown and enabled.
void ClickIfOffered(QAbstractButton &button);

// A labelled edit field: the caption above the field, both in one widget.
QWidget *LabeledEdit(QWidget *parent, const QString &caption, const char *objectName,
                     QLineEdit *&edit);

// The browse side of a register editor: the list of names with "Neu",
// "Ändern" and "Löschen" stacked on its right.
struct TBrowsePanel {
    QWidget *panel = nullptr;
    QListWidget *list = nullptr;
    QPushButton *btNew = nullptr;
    QPushButton *btEdit = nullptr;
    QPushButton *btDelete = nullptr;
};
TBrowsePanel BuildBrowsePanel(QWidget *parent, const char *panelName, const char *listName,
                              const char *newName, const char *editName, const char *deleteName);

// A register editor's window: browse panel and entry group side by side,
// the close button alone in the row below.
void LayOutRegisterEditor(QWidget *window, QWidget *browse, QWidget *entry, QPushButton *btClose);

} // namespace takton::gui
