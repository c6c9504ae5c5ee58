// The Qt side of the dialog seam speaks German with the exact captions, the
// project dialogs carry their filter and suffix, and the error handler shows
// the core's cp1252 messages correctly.

#include "core/util/error.h"
#include "gui/common/dialogs.h"
#include "gui/common/error_handler.h"
#include "gui/common/translations.h"
#include "support/dialogs_double.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace takton;
using namespace takton::gui;

namespace {

// Runs the check on the modal window once it is open. A check that fails
// returns early: the window is then closed, so that the test fails instead
// of waiting for a box nobody answers.
void WhenModalOpens(std::function<void(QWidget &)> check) {
    QTimer::singleShot(0, [check] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        QPointer<QWidget> stillOpen(modal);
        check(*modal);
        auto *dialog = qobject_cast<QDialog *>(stillOpen.data());
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
}

QStringList ButtonTexts(QMessageBox &box) {
    QStringList texts;
    for (QAbstractButton *button : box.buttons())
        texts << button->text();
    return texts;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void confirmationAsksWithJaAndNeinAndTheirKeys() {
        QtDialogs dialogs;
        QStringList buttons;
        QString caption;
        // "&Ja" answers to Alt+J, as in every question.
        WhenModalOpens([&](QWidget &widget) {
            auto &box = dynamic_cast<QMessageBox &>(widget);
            caption = box.windowTitle();
            buttons = ButtonTexts(box);
            for (QAbstractButton *button : box.buttons())
                if (button->shortcut() == QKeySequence(Qt::ALT | Qt::Key_J))
                    button->click();
        });
        QCOMPARE(dialogs.Confirm("Bestätigung", "Station löschen?"), Answer::Yes);
        QCOMPARE(caption, QString("Bestätigung"));
        buttons.sort();
        QCOMPARE(buttons, QStringList({"&Ja", "&Nein"}));

        // Escape is "Nein"; so is Enter, the safe default of a delete question.
        WhenModalOpens([](QWidget &widget) { QTest::keyClick(&widget, Qt::Key_Escape); });
        QCOMPARE(dialogs.Confirm("Bestätigung", "Station löschen?"), Answer::No);
        WhenModalOpens([](QWidget &widget) { QTest::keyClick(&widget, Qt::Key_Return); });
        QCOMPARE(dialogs.Confirm("Bestätigung", "Station löschen?"), Answer::No);
    }

    void timetableQuestionsHaveAcceleratorsAndACancelButton() {
        QtDialogs dialogs;
        QStringList buttons;
        QString caption;
        // "&Ja" answers to Alt+J.
        WhenModalOpens([&](QWidget &widget) {
            auto &box = dynamic_cast<QMessageBox &>(widget);
            caption = box.windowTitle();
            buttons = ButtonTexts(box);
            for (QAbstractButton *button : box.buttons())
                if (button->shortcut() == QKeySequence(Qt::ALT | Qt::Key_J))
                    button->click();
        });
        QCOMPARE(dialogs.Ask("Bestätigung", "Für alle weiteren Stationen übernehmen?"),
                 Answer::Yes);
        QCOMPARE(caption, QString("Bestätigung"));
        buttons.sort();
        QCOMPARE(buttons, QStringList({"&Ja", "&Nein"}));
        WhenModalOpens([](QWidget &widget) { QTest::keyClick(&widget, Qt::Key_Escape); });
        QCOMPARE(dialogs.Ask("Bestätigung", "Für alle weiteren Stationen übernehmen?"), Answer::No);

        // Three buttons; Escape is "Abbrechen".
        WhenModalOpens([&](QWidget &widget) {
            auto &box = dynamic_cast<QMessageBox &>(widget);
            buttons = ButtonTexts(box);
            QTest::keyClick(&widget, Qt::Key_Escape);
        });
        QCOMPARE(dialogs.AskWithCancel("Bestätigung", "Gleiche Werte einsetzen?"), Answer::Cancel);
        buttons.sort();
        QCOMPARE(buttons, QStringList({"&Ja", "&Nein", "Abbrechen"}));
        WhenModalOpens([](QWidget &widget) {
            for (QAbstractButton *button : dynamic_cast<QMessageBox &>(widget).buttons())
                if (button->text() == "&Nein")
                    button->click();
        });
        QCOMPARE(dialogs.AskWithCancel("Bestätigung", "Gleiche Werte einsetzen?"), Answer::No);

        // Where both "&Ja" and "&Nein" lose work, Enter and Escape are "Abbrechen".
        for (auto key : {Qt::Key_Return, Qt::Key_Escape}) {
            WhenModalOpens([&](QWidget &widget) {
                buttons = ButtonTexts(dynamic_cast<QMessageBox &>(widget));
                QTest::keyClick(&widget, key);
            });
            QCOMPARE(dialogs.ConfirmWithCancel("Datei geändert", "Überschreiben?"), Answer::Cancel);
            buttons.sort();
            QCOMPARE(buttons, QStringList({"&Ja", "&Nein", "Abbrechen"}));
        }
    }

    void noticeHasOnlyAnOkButton() {
        QtDialogs dialogs;
        QStringList buttons;
        WhenModalOpens([&](QWidget &widget) {
            auto &box = dynamic_cast<QMessageBox &>(widget);
            buttons = ButtonTexts(box);
            QCOMPARE(box.text(), QString("Kein Projekt geladen!"));
            box.buttons().first()->click();
        });
        dialogs.ShowMessage("Kein Projekt geladen!");
        QCOMPARE(buttons, QStringList({"OK"}));
    }

    void saveDialogAppendsTheSuffixAndAsksBeforeOverwriting() {
        QtDialogs dialogs;
        QTemporaryDir dir;
        bool confirmsOverwrite = false;
        QStringList filters;
        WhenModalOpens([&](QWidget &widget) {
            auto &dialog = dynamic_cast<QFileDialog &>(widget);
            confirmsOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
            filters = dialog.nameFilters();
            QCOMPARE(dialog.defaultSuffix(), QString("zpr"));
            QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
            dialog.selectFile(dir.filePath("netz"));
            static_cast<QDialog &>(dialog).accept();
        });
        const auto chosen =
            dialogs.SaveFileName({"ZAL-Projekt (*.zpr)", "zpr", dir.filePath("vorschlag.zpr")});
        QVERIFY(chosen);
        QCOMPARE(*chosen, dir.filePath("netz.zpr"));
        QVERIFY(confirmsOverwrite);
        QCOMPARE(filters, QStringList({"ZAL-Projekt (*.zpr)"}));

        // The open dialog accepts a file that does not exist yet; cancel gives nothing.
        WhenModalOpens([&](QWidget &widget) {
            auto &dialog = dynamic_cast<QFileDialog &>(widget);
            QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
            dialog.reject();
        });
        QVERIFY(!dialogs.OpenFileName({"ZAL-Projekt (*.zpr)", "zpr", QString()}));
    }

    void standardTextsAreGerman() {
        QVERIFY(LoadGermanTranslations(*QCoreApplication::instance()));
        QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QString("Abbrechen"));
        QCOMPARE(box.button(QDialogButtonBox::Save)->text(), QString("Speichern"));
    }

    void errorsReachTheBoxInReadableGerman() {
        DialogsDouble dialogs;
        RunGuarded([] {
            throw TaktonError("In /tmp/S\xFC"
                              "d.zpr kann nicht geschrieben werden");
        });
        RunGuarded([] { throw std::runtime_error("kaputt"); });
        RunGuarded([] { throw 42; });
        QCOMPARE(dialogs.errors(), QStringList({"In /tmp/Süd.zpr kann nicht geschrieben werden",
                                                "kaputt", "Unbekannter Fehler."}));
        // A guarded slot ignores the signal's arguments it does not take.
        bool ran = false;
        auto slot = Guarded([&ran] { ran = true; });
        slot(true, QString("x"));
        QVERIFY(ran);
    }
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
