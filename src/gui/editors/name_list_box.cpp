#include "gui/editors/name_list_box.h"

#include "core/model/master_data.h"
#include "core/model/names.h"
#include "core/util/text_order.h"
#include "gui/common/current_project.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "render/qt_text.h"

#include <QByteArray>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace takton::gui {

QListWidgetItem *NewNameItem(const std::string &name) {
    auto *item = new QListWidgetItem(FromCp1252(name));
    item->setData(Qt::UserRole, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    return item;
}

void FillNameList(QListWidget &list, const TStringList &names) {
    list.clear();
    for (const std::string &name : names)
        list.addItem(NewNameItem(name));
}

void FillSortedNameList(QListWidget &list, const std::string &projectDir,
                        std::string_view registerFile) {
    list.clear();
    if (projectDir.empty())
        return;
    TStringList names = LoadNameList(projectDir, registerFile);
    SortTextList(names);
    FillNameList(list, names);
}

void FillLineNameList(QListWidget &list, const std::string &projectDir) {
    list.clear();
    if (projectDir.empty())
        return;
    TStringList names = LoadNameList(projectDir, kLinesFile);
    SortTextListNatural(names);
    FillNameList(list, names);
}

QString LineNamesText(TStringList lines) {
    SortTextListNatural(lines);
    QStringList names;
    for (const std::string &line : lines)
        names << FromCp1252(line);
    return names.join(QStringLiteral(", "));
}

namespace {

// Delete pressed on a list, seen before the list handles the key.
class TDeleteKeyFilter : public QObject {
  public:
    TDeleteKeyFilter(QObject *parent, std::function<void()> onDelete)
        : QObject(parent), onDelete_(std::move(onDelete)) {}

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
                RunGuarded(onDelete_);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> onDelete_;
};

} // namespace

void ClickIfOffered(QAbstractButton &button) {
    if (button.isVisible() && button.isEnabled())
        button.click();
}

void ConnectListKeys(QListWidget &list, QAbstractButton &edit, QAbstractButton &del) {
    QPointer<QAbstractButton> editButton(&edit);
    QPointer<QAbstractButton> deleteButton(&del);
    list.installEventFilter(new TDeleteKeyFilter(&list, [deleteButton] {
        if (deleteButton)
            ClickIfOffered(*deleteButton);
    }));
    QObject::connect(&list, &QListWidget::itemDoubleClicked, &list, [editButton] {
        if (editButton)
            ClickIfOffered(*editButton);
    });
}

void FillLineStations(QListWidget &list, const std::string &projectDir, const QListWidget &lines) {
    list.clear();
    const std::optional<std::string> line = SelectedName(lines);
    if (line && !projectDir.empty())
        FillNameList(list, LoadLineStations(projectDir, *line));
}

std::string ItemName(const QListWidgetItem &item) {
    return item.data(Qt::UserRole).toByteArray().toStdString();
}

TStringList ItemNames(const QListWidget &list) {
    TStringList names;
    names.reserve(static_cast<std::size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i)
        names.push_back(ItemName(*list.item(i)));
    return names;
}

std::optional<std::string> SelectedName(const QListWidget &list) {
    const QList<QListWidgetItem *> selected = list.selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return ItemName(*selected.constFirst());
}

void SelectName(QListWidget &list, const std::string &name) {
    for (int i = 0; i < list.count(); ++i) {
        QListWidgetItem *item = list.item(i);
        if (ItemName(*item) == name) {
            list.setCurrentItem(item);
            item->setSelected(true);
            list.scrollToItem(item);
            return;
        }
    }
}

void SelectNoName(QListWidget &list) {
    list.clearSelection();
    list.setCurrentItem(nullptr);
}

std::optional<std::string> TypedName(const QString &typed) {
    std::optional<std::string> name = ToCp1252(typed.trimmed());
    if (!name)
        Dialogs().ShowMessage(FromCp1252(NameNotInCodePageMessage()));
    return name;
}

QWidget *LabeledEdit(QWidget *parent, const QString &caption, const char *objectName,
                     QLineEdit *&edit) {
    auto *holder = new QWidget(parent);
    edit = new QLineEdit(holder);
    edit->setObjectName(QString::fromLatin1(objectName));
    auto *label = new QLabel(caption, holder);
    label->setBuddy(edit);
    auto *layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(label);
    layout->addWidget(edit);
    return holder;
}

TBrowsePanel BuildBrowsePanel(QWidget *parent, const char *panelName, const char *listName,
                              const char *newName, const char *editName, const char *deleteName) {
    TBrowsePanel browse;
    browse.panel = new QWidget(parent);
    browse.panel->setObjectName(QString::fromLatin1(panelName));
    browse.list = new QListWidget(browse.panel);
    browse.list->setObjectName(QString::fromLatin1(listName));
    browse.list->setSelectionMode(QAbstractItemView::SingleSelection);
    browse.btNew = PlainButton(browse.panel, QStringLiteral("Neu"), newName);
    browse.btEdit = PlainButton(browse.panel, QStringLiteral("Ändern"), editName);
    browse.btDelete = PlainButton(browse.panel, QStringLiteral("Löschen"), deleteName);

    auto *layout = new QHBoxLayout(browse.panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browse.list, 1);
    auto *buttons = new QVBoxLayout();
    buttons->addWidget(browse.btNew);
    buttons->addWidget(browse.btEdit);
    buttons->addWidget(browse.btDelete);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return browse;
}

void LayOutRegisterEditor(QWidget *window, QWidget *browse, QWidget *entry, QPushButton *btClose) {
    auto *layout = new QVBoxLayout(window);
    auto *columns = new QHBoxLayout();
    columns->addWidget(browse, 1);
    columns->addWidget(entry, 1);
    layout->addLayout(columns, 1);
    auto *closeRow = new QHBoxLayout();
    closeRow->addStretch(1);
    closeRow->addWidget(btClose);
    layout->addLayout(closeRow);
    window->resize(560, 400);
}

} // namespace takton::gui
