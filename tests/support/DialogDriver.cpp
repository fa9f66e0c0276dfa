#include "support/DialogDriver.h"

#include "app/AppState.h"
#include "platform/DialogHost.h"
#include "ui/DialogTemplates.h"
#include "ui/MainDialog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <utility>

class DialogDriver : public QObject {
  public:
    explicit DialogDriver(DialogTest& test) : test_(test) {}

  protected:
    // Answers once the dialog's modal run has begun.
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && window != nullptr && window->isWindow())
            QTimer::singleShot(0, window, [this, window] { Answer(window); });
        return false;
    }

  private:
    void Answer(QDialog* window) {
        if (auto* box = qobject_cast<QMessageBox*>(window)) {
            bool question = box->button(QMessageBox::Yes) != nullptr; // replace the file?
            QString buttons = question ? " [" + box->button(QMessageBox::Yes)->text() + "/" +
                                             box->button(QMessageBox::No)->text() + "]"
                                       : "";
            test_.messages.push_back(
                (box->windowTitle() + ": " + box->text() + buttons).toStdString());
            box->button(question ? (test_.replaceFile ? QMessageBox::Yes : QMessageBox::No)
                                 : QMessageBox::Ok)
                ->click();
        } else if (auto* chooser = qobject_cast<QFileDialog*>(window)) {
            bool asks = !chooser->testOption(QFileDialog::DontConfirmOverwrite);
            QString words = chooser->windowTitle();
            for (QAbstractButton* button : chooser->findChild<QDialogButtonBox*>()->buttons())
                words += " | " + button->text();
            test_.chooserWords.push_back(words.toStdString());
            test_.choosers.push_back(
                (chooser->acceptMode() == QFileDialog::AcceptSave ? "save " : "open ") +
                chooser->nameFilters().join(";").toStdString() + " ." +
                chooser->defaultSuffix().toStdString() + (asks ? " asks" : ""));
            if (int signalNumber = std::exchange(test_.chooserSignal, 0); signalNumber != 0) {
                std::raise(signalNumber);
                if (test_.answers.empty())
                    WaitUntilClosed(chooser); // by the program
            }
            while (chooser->isVisible() && !test_.answers.empty()) {
                std::optional<std::string> answer = test_.answers.front();
                test_.answers.pop_front();
                if (!answer) {
                    chooser->reject();
                    break;
                }
                chooser->selectFile(QString::fromStdString(*answer)); // into the name field
                auto* buttons = chooser->findChild<QDialogButtonBox*>();
                for (QAbstractButton* button : buttons->buttons())
                    if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
                        button->click(); // Open or Save
            }
        } else if (auto* print = qobject_cast<QPrintDialog*>(window)) {
            AnswerPrintDialog(print);
        } else if (auto* dialog = dynamic_cast<Dialog*>(window);
                   dialog && !test_.scripts_.empty()) {
            // As a window manager makes a window that shows the active one: the focus, and what
            // follows it, moves as the user sees it.
            window->activateWindow();
            if (!QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }))
                ADD_FAILURE() << window->objectName().toStdString() << " never became active";
            Script script = std::move(test_.scripts_.front());
            test_.scripts_.pop_front();
            script(dialog);
        }
        if (window->isVisible()) {
            ADD_FAILURE() << window->metaObject()->className() << " "
                          << window->objectName().toStdString() << " was left open";
            window->done(QDialog::Rejected);
        }
    }

    // As the user prints to a file: the file printer chosen in the list, the name typed.
    void AnswerPrintDialog(QPrintDialog* print) {
        if (test_.printAnswers.empty() || !test_.printAnswers.front()) {
            if (!test_.printAnswers.empty())
                test_.printAnswers.pop_front();
            print->reject();
            return;
        }
        std::string file = *test_.printAnswers.front();
        test_.printAnswers.pop_front();
        auto* printers = print->findChild<QComboBox*>("printers");
        printers->setCurrentIndex(printers->count() - 1); // printing to a file comes last
        print->findChild<QLineEdit*>("filename")->setText(QString::fromStdString(file));
        print->accept();
        test_.printableAreas.push_back(
            print->printer()->pageLayout().paintRect(QPageLayout::Point));
    }

    DialogTest& test_;
};

void DialogTest::SetUp() {
    ResetAppState();
    photo = folder.Path("photo.bmp");
    WriteWholeFile(photo, BmpFileBytes(PictureBytes(60, 40)));
    driver_ = std::make_unique<DialogDriver>(*this);
    qApp->installEventFilter(driver_.get());
}

void DialogTest::TearDown() {
    driver_.reset();
    EXPECT_TRUE(scripts_.empty()) << "a dialog the test expected never showed";
    EXPECT_TRUE(answers.empty()) << "a file chooser the test expected never showed";
    EXPECT_TRUE(printAnswers.empty()) << "a print dialog the test expected never showed";
    ResetAppState();
}

void DialogTest::RunMainDialog(const std::string& startFile, Script script) {
    startFile_ = startFile; // the state points into it while the dialog runs
    appState.startFile = startFile_.c_str();
    scripts_.push_front(std::move(script));
    DialogBoxParam(MainDialogTemplate, nullptr, MainDialogProc, 0);
}

QWidget* Window(Dialog* dialog) {
    return dynamic_cast<QWidget*>(dialog);
}

QWidget* Control(Dialog* dialog, int32_t id) {
    return Window(dialog)->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

void Click(Dialog* dialog, int32_t id) {
    static_cast<QAbstractButton*>(Control(dialog, id))->click();
}

void Type(Dialog* dialog, int32_t id, const std::string& text) {
    QWidget* control = Control(dialog, id);
    auto* combo = qobject_cast<QComboBox*>(control);
    QLineEdit* edit = combo != nullptr ? combo->lineEdit() : static_cast<QLineEdit*>(control);
    control->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromStdString(text));
}

void Pick(Dialog* dialog, int32_t id, int32_t index) {
    auto* combo = static_cast<QComboBox*>(Control(dialog, id));
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(index, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
}

void Press(Dialog* dialog, Qt::Key key) {
    QWidget* focus = Window(dialog)->focusWidget();
    QTest::keyClick(focus != nullptr ? focus : Window(dialog), key);
}

std::string Text(Dialog* dialog, int32_t id) {
    QWidget* control = Control(dialog, id);
    QVariant text = control->property(qobject_cast<QComboBox*>(control) ? "currentText" : "text");
    return text.toString().toStdString();
}

Texts Entries(Dialog* dialog, int32_t id) {
    auto* combo = static_cast<QComboBox*>(Control(dialog, id));
    Texts entries;
    for (int i = 0; i < combo->count(); ++i)
        entries.push_back(combo->itemText(i).toStdString());
    return entries;
}

int32_t FocusedId(Dialog* dialog) {
    QWidget* focus = Window(dialog)->focusWidget();
    while (focus != nullptr && focus->parentWidget() != Window(dialog))
        focus = focus->parentWidget();
    return focus != nullptr ? focus->objectName().toInt() : 0;
}

int32_t DefaultId(Dialog* dialog) {
    int32_t id = 0;
    for (auto* button : Window(dialog)->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        if (button->isDefault())
            id = id == 0 ? button->objectName().toInt() : -1; // -1: more than one
    return id;
}

void WaitUntilClosed(QWidget* window) {
    if (!QTest::qWaitFor([window] { return !window->isVisible(); }))
        ADD_FAILURE() << window->objectName().toStdString() << " never closed";
}
