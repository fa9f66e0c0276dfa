// The dialog host over Qt Widgets: a dialog template becomes a fixed-size window of plain
// widgets placed by dialog units, and the user's actions become the messages a dialog procedure
// expects, with the classic dialog manager's rules for Enter, Esc and the close box.

#include "platform/DialogHost.h"
#include "platform/DibPainter.h"
#include "platform/StopSignals.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

QString Text(const char* text) {
    return QString::fromUtf8(text);
}
QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The average character width and the height of a font, from which dialog units are measured,
// as the classic dialog manager measures them.
struct BaseUnits {
    int x, y;
};

BaseUnits BaseUnitsOf(const QFont& font) {
    QFontMetrics metrics(font);
    const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return {(metrics.horizontalAdvance(alphabet) / 26 + 1) / 2, metrics.height()};
}

QRect PixelRect(const ControlTemplate& control, BaseUnits units) {
    return QRect(control.x * units.x / 4, control.y * units.y / 8, control.width * units.x / 4,
                 control.height * units.y / 8);
}

// The room a control's text needs beside the text itself (button bevels, the check mark).
int TextAllowance(const ControlTemplate& control) {
    if (control.controlClass != ControlClass::Button)
        return 2;
    return (control.styles & 0xF) == BS_AUTOCHECKBOX ? 22 : 8;
}

// Whether every text of the template fits its control in the given font, the controls placed by
// the base units of the dialog's font. Labels wrap; everything else stays on one line.
bool TextsFit(const DialogTemplate& dialogTemplate, BaseUnits units, const QFont& font) {
    QFontMetrics metrics(font);
    for (int32_t i = 0; i < dialogTemplate.controlCount; ++i) {
        const ControlTemplate& control = dialogTemplate.controls[i];
        QString text = Text(control.text);
        if (text.isEmpty())
            continue;
        QRect rect = PixelRect(control, units);
        int room = rect.width() - TextAllowance(control);
        if (control.controlClass == ControlClass::Static) {
            QRect needed = metrics.boundingRect(QRect(0, 0, room, 10000), Qt::TextWordWrap, text);
            if (needed.width() > room || needed.height() > rect.height())
                return false;
        } else if (metrics.horizontalAdvance(text) > room) {
            return false;
        }
    }
    return true;
}

// The font the dialog's texts are drawn in: the desktop's dialog font, made smaller, a half
// point at a time, until every text fits the place the template gives it.
QFont FittingFont(const DialogTemplate& dialogTemplate, BaseUnits units, QFont font) {
    for (double points = font.pointSizeF(); points > 6; points -= 0.5) {
        font.setPointSizeF(points);
        if (TextsFit(dialogTemplate, units, font))
            break;
    }
    return font;
}

class QtDialog final : public QDialog, public Dialog {
  public:
    QtDialog(const DialogTemplate& dialogTemplate, QWidget* owner, DialogProc procedure)
        : QDialog(owner), procedure_(procedure) {
        Build(dialogTemplate);
    }

    intptr_t Deliver(uint32_t message, uintptr_t wParam) {
        return procedure_(this, message, wParam, 0);
    }

    void Command(int32_t id) { Deliver(WM_COMMAND, static_cast<uint16_t>(id)); }

    void Notify(int32_t id, uint16_t code) {
        Deliver(WM_COMMAND, uintptr_t{code} << 16 | static_cast<uint16_t>(id));
    }

    void End(intptr_t result) {
        ended_ = true;
        result_ = result;
        done(static_cast<int>(result));
    }

    bool Ended() const { return ended_; }
    intptr_t Result() const { return result_; }
    QPainter* Painter() const { return painter_; }

    QWidget* Control(int32_t id) const {
        for (const Item& item : items_)
            if (item.id == id && id != UnaddressedId)
                return item.widget;
        return nullptr;
    }

    std::optional<int32_t> IdOf(const QWidget* widget) const {
        for (const Item& item : items_)
            if (widget != nullptr && (item.widget == widget || item.widget->isAncestorOf(widget)))
                return item.id;
        return std::nullopt;
    }

    // The focus goes to the first enabled control with a tab stop, in template order.
    void FocusFirstTabStop() {
        for (const Item& item : items_) {
            if ((item.styles & WS_TABSTOP) && item.widget->isEnabled()) {
                item.widget->setFocus(Qt::TabFocusReason);
                return;
            }
        }
    }

    // Dialog
    int32_t ComboBoxEntryCount(int32_t id) const override {
        QComboBox* combo = Combo(id);
        return combo != nullptr ? combo->count() : 0;
    }

    void ResetComboBox(int32_t id) override {
        if (QComboBox* combo = Combo(id)) {
            QSignalBlocker blocker(combo);
            combo->clear();
            if (combo->isEditable())
                combo->setEditText(QString());
            FindItem(id)->selection = CB_ERR;
        }
    }

    void AddComboBoxEntry(int32_t id, const std::string& text) override {
        if (QComboBox* combo = Combo(id)) {
            QSignalBlocker blocker(combo);
            QString editText = combo->isEditable() ? combo->currentText() : QString();
            combo->addItem(Text(text));
            // Adding to an empty list must not select the entry nor show its text.
            if (combo->isEditable()) {
                combo->setCurrentIndex(FindItem(id)->selection);
                combo->setEditText(editText);
            } else {
                combo->setCurrentIndex(FindItem(id)->selection);
            }
        }
    }

    void SelectComboBoxEntry(int32_t id, int32_t index) override {
        if (QComboBox* combo = Combo(id)) {
            QSignalBlocker blocker(combo);
            combo->setCurrentIndex(index);
            if (index == CB_ERR && combo->isEditable())
                combo->setEditText(QString());
            FindItem(id)->selection = index;
        }
    }

    int32_t ComboBoxSelection(int32_t id) const override {
        const Item* item = FindItem(id);
        return item != nullptr && Combo(id) != nullptr ? item->selection : CB_ERR;
    }

    std::string ItemText(int32_t id) const override {
        QWidget* widget = Control(id);
        QString text;
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            text = combo->currentText();
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            text = edit->text();
        else if (auto* label = qobject_cast<QLabel*>(widget))
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            text = button->text();
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            text = group->title();
        return text.toStdString();
    }

    void SetItemText(int32_t id, const std::string& text) override {
        QWidget* widget = Control(id);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            QSignalBlocker blocker(combo);
            if (combo->isEditable()) {
                combo->setCurrentIndex(CB_ERR);
                combo->setEditText(Text(text));
                FindItem(id)->selection = CB_ERR;
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->setText(Text(text));
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(Text(text));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(Text(text));
        }
    }

    void SetItemChecked(int32_t id, bool checked) override {
        if (auto* box = qobject_cast<QCheckBox*>(Control(id)))
            box->setChecked(checked);
    }

    bool IsItemChecked(int32_t id) const override {
        auto* box = qobject_cast<QCheckBox*>(Control(id));
        return box != nullptr && box->isChecked();
    }

    void EnableItem(int32_t id, bool enabled) override {
        if (QWidget* widget = Control(id))
            widget->setEnabled(enabled);
    }

    void FocusItem(int32_t id) override {
        QWidget* widget = Control(id);
        if (widget != nullptr && widget->isEnabled())
            widget->setFocus(Qt::OtherFocusReason);
    }

    // A light red behind the text, in every colour group: the mark shows on a disabled edit too.
    void MarkItem(int32_t id, bool marked) override {
        Item* item = FindItem(id);
        if (item == nullptr || item->marked == marked)
            return;
        item->marked = marked;
        QPalette colours; // resolves no colour of its own: the rest comes from the dialog
        if (marked)
            colours.setColor(QPalette::Base, QColor(255, 214, 214));
        item->widget->setPalette(colours);
    }

    bool IsItemMarked(int32_t id) const override {
        const Item* item = FindItem(id);
        return item != nullptr && item->marked;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event)->key()))
            return true;
        return QDialog::eventFilter(watched, event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        if (!HandleKey(event->key()))
            QDialog::keyPressEvent(event);
    }

    // The close box asks the procedure, which ends the dialog or not.
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (!ended_)
            Command(IDCANCEL);
    }

    // Esc reaching the dialog itself: the same as anywhere else.
    void reject() override {
        if (!ended_)
            Command(IDCANCEL);
    }

    void paintEvent(QPaintEvent* event) override {
        QDialog::paintEvent(event);
        QPainter painter(this);
        painter_ = &painter;
        Deliver(WM_PAINT, 0);
        painter_ = nullptr;
        if (windowFlags() & Qt::FramelessWindowHint) { // the modal frame the template asks for
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }

  private:
    struct Item {
        int32_t id;
        uint32_t styles;
        QWidget* widget;
        int32_t selection = CB_ERR; // of a combo box: its selected entry, or CB_ERR
        bool marked = false;
    };

    Item* FindItem(int32_t id) {
        for (Item& item : items_)
            if (item.id == id && id != UnaddressedId)
                return &item;
        return nullptr;
    }
    const Item* FindItem(int32_t id) const { return const_cast<QtDialog*>(this)->FindItem(id); }

    QComboBox* Combo(int32_t id) const { return qobject_cast<QComboBox*>(Control(id)); }

    // Enter and Esc as the classic dialog manager treats them. Keys meant for an open combo box
    // list stay with it.
    bool HandleKey(int key) {
        bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (!enter && key != Qt::Key_Escape)
            return false;
        for (const Item& item : items_)
            if (auto* combo = qobject_cast<QComboBox*>(item.widget))
                if (combo->view()->isVisible())
                    return false;
        if (!enter) {
            Command(IDCANCEL);
            return true;
        }
        // A focused push button takes Enter; otherwise the default button, while enabled.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            if (std::optional<int32_t> id = IdOf(button))
                Command(*id);
            return true;
        }
        if (QWidget* ok = Control(IDOK); ok != nullptr && ok->isEnabled())
            Command(IDOK);
        return true;
    }

    void Build(const DialogTemplate& dialogTemplate) {
        QFont dialogFont = QApplication::font("QDialog");
        BaseUnits units = BaseUnitsOf(dialogFont);
        setFont(FittingFont(dialogTemplate, units, dialogFont));
        setObjectName(Text(dialogTemplate.name));
        setWindowTitle(Text(dialogTemplate.caption));
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
        if (dialogTemplate.styles & WS_CAPTION)
            flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        else
            flags |= Qt::FramelessWindowHint;
        setWindowFlags(flags);
        setFixedSize(dialogTemplate.width * units.x / 4, dialogTemplate.height * units.y / 8);

        QWidget* previous = nullptr;
        for (int32_t i = 0; i < dialogTemplate.controlCount; ++i) {
            const ControlTemplate& control = dialogTemplate.controls[i];
            QWidget* widget = MakeControl(control);
            if (control.id != UnaddressedId) // so that a control can be found by its id
                widget->setObjectName(QString::number(control.id));
            QRect rect = PixelRect(control, units);
            if (auto* combo = qobject_cast<QComboBox*>(widget)) // the height holds its list too
                rect.setHeight(std::min(rect.height(), combo->sizeHint().height()));
            widget->setGeometry(rect);
            widget->installEventFilter(this);
            if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
                combo->lineEdit()->installEventFilter(this);
            if (control.styles & WS_TABSTOP) {
                if (previous != nullptr)
                    setTabOrder(previous, widget);
                previous = widget;
            }
            items_.push_back({control.id, control.styles, widget});
        }
        for (const Item& item : items_) // group boxes frame the controls, under them
            if (qobject_cast<QGroupBox*>(item.widget))
                item.widget->lower();
    }

    QWidget* MakeControl(const ControlTemplate& control) {
        QString text = Text(control.text);
        int32_t id = control.id;
        uint32_t kind = control.styles & 0xF;
        switch (control.controlClass) {
        case ControlClass::Button:
            if (kind == BS_GROUPBOX) {
                auto* group = new QGroupBox(text, this);
                group->setFocusPolicy(Qt::NoFocus);
                return group;
            }
            if (kind == BS_AUTOCHECKBOX) {
                auto* box = new QCheckBox(text, this);
                connect(box, &QCheckBox::clicked, this, [this, id] { Command(id); });
                return box;
            } else {
                auto* button = new QPushButton(text, this);
                // A focused push button is drawn as the default, since Enter presses it; when
                // the focus leaves the push buttons, the template's default is drawn so again.
                button->setAutoDefault(true);
                button->setDefault(kind == BS_DEFPUSHBUTTON);
                connect(button, &QPushButton::clicked, this, [this, id] { Command(id); });
                return button;
            }
        case ControlClass::Static: {
            auto* label = new QLabel(text, this);
            label->setWordWrap(true);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | (control.styles & SS_CENTERIMAGE ? Qt::AlignVCenter
                                                                                 : Qt::AlignTop));
            if (control.styles & SS_SUNKEN)
                label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            return label;
        }
        case ControlClass::ComboBox: {
            auto* combo = new QComboBox(this);
            if ((control.styles & 0x3) == CBS_DROPDOWN) {
                combo->setEditable(true);
                combo->setInsertPolicy(QComboBox::NoInsert);
                combo->setCompleter(nullptr);
                // Typed text selects no entry, even text that equals one; only picking does.
                disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
                connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, id] {
                    FindItem(id)->selection = CB_ERR;
                    Notify(id, CBN_EDITCHANGE);
                });
            }
            connect(combo, &QComboBox::activated, this, [this, id](int index) {
                FindItem(id)->selection = index;
                Notify(id, CBN_SELCHANGE);
            });
            return combo;
        }
        case ControlClass::Edit: {
            auto* edit = new QLineEdit(text, this);
            connect(edit, &QLineEdit::textEdited, this, [this, id] { Notify(id, EN_CHANGE); });
            return edit;
        }
        }
        return new QWidget(this);
    }

    DialogProc procedure_;
    std::vector<Item> items_;
    QPainter* painter_ = nullptr;
    bool ended_ = false;
    intptr_t result_ = 0;
};

QtDialog* Host(Dialog* dialog) {
    return dynamic_cast<QtDialog*>(dialog);
}

// How soon the next window is looked at while a stop signal is honoured.
constexpr int StopRetryMilliseconds = 10;

// Dismisses the innermost modal window as its user would, while a stop signal is caught: a
// dialog of the program gets IDCANCEL through its reject (the preview closes as by Close, the
// main dialog as by its exit button), a message box or file chooser is cancelled. The window
// beneath runs again only once the one above has returned, so this comes back until none is left.
void EndWindowsOnStop() {
    if (CaughtStopSignal() == 0)
        return;
    auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (window == nullptr)
        return;
    window->reject();
    QTimer::singleShot(StopRetryMilliseconds, qApp, EndWindowsOnStop);
}

// Once CatchStopSignals has made its pipe, the event loop watches it; each signal caught wakes
// it with a byte.
void WatchStopSignals() {
    static QPointer<QSocketNotifier> notifier;
    int pipe = StopSignalPipe();
    if (notifier != nullptr || pipe < 0)
        return;
    notifier = new QSocketNotifier(pipe, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [pipe] {
        char bytes[64];
        while (read(pipe, bytes, sizeof bytes) > 0) {
        }
        EndWindowsOnStop();
    });
}

WindowRect RectOf(QPoint topLeft, QSize size) {
    return {topLeft.x(), topLeft.y(), topLeft.x() + size.width(), topLeft.y() + size.height()};
}

} // namespace

intptr_t DialogBoxParam(const DialogTemplate& dialogTemplate, Dialog* owner, DialogProc procedure,
                        intptr_t param) {
    WatchStopSignals();
    QtDialog dialog(dialogTemplate, Host(owner), procedure);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (procedure(&dialog, WM_INITDIALOG, 0, param) != 0)
        dialog.FocusFirstTabStop();
    if (dialog.Ended())
        return dialog.Result();
    dialog.exec();
    return dialog.Result();
}

void EndDialog(Dialog* dialog, intptr_t result) {
    if (QtDialog* host = Host(dialog))
        host->End(result);
}

void ShowErrorMessage(const char* text) {
    if (CaughtStopSignal() != 0)
        return;
    QWidget* focus = QApplication::focusWidget();
    QMessageBox box(QMessageBox::NoIcon, Text("Błąd"), Text(text), QMessageBox::Ok,
                    focus != nullptr ? focus->window() : nullptr);
    box.exec();
}

bool AskYesNo(const char* caption, const char* text) {
    if (CaughtStopSignal() != 0)
        return false;
    QWidget* focus = QApplication::focusWidget();
    QMessageBox box(QMessageBox::Question, Text(caption), Text(text),
                    QMessageBox::Yes | QMessageBox::No,
                    focus != nullptr ? focus->window() : nullptr);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int32_t GetSystemMetrics(int32_t index) {
    QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    return index == SM_CXSCREEN ? screen.width() : index == SM_CYSCREEN ? screen.height() : 0;
}

WindowRect GetWindowRect(Dialog* dialog) {
    QtDialog* host = Host(dialog);
    return RectOf(host->frameGeometry().topLeft(), host->frameGeometry().size());
}

WindowRect GetDlgItemRect(Dialog* dialog, int32_t id) {
    QWidget* control = Host(dialog)->Control(id);
    if (control == nullptr)
        return {};
    return RectOf(control->mapToGlobal(QPoint(0, 0)), control->size());
}

WindowRect GetClientRect(Dialog* dialog) {
    return RectOf(QPoint(0, 0), Host(dialog)->size());
}

WindowPoint ScreenToClient(Dialog* dialog, WindowPoint point) {
    QPoint client = Host(dialog)->mapFromGlobal(QPoint(point.x, point.y));
    return {client.x(), client.y()};
}

void MoveWindow(Dialog* dialog, int32_t x, int32_t y, int32_t width, int32_t height) {
    QtDialog* host = Host(dialog);
    QSize frame = host->frameGeometry().size() - host->size();
    host->setFixedSize(std::max(0, width - frame.width()), std::max(0, height - frame.height()));
    host->move(x, y);
}

void MoveDlgItem(Dialog* dialog, int32_t id, int32_t x, int32_t y) {
    if (QWidget* control = Host(dialog)->Control(id))
        control->move(x, y);
}

void StretchDIBits(Dialog* dialog, int32_t x, int32_t y, int32_t destinationWidth,
                   int32_t destinationHeight, const uint8_t* bits, int32_t width, int32_t height,
                   int64_t rowStride) {
    QPainter* painter = Host(dialog)->Painter();
    if (painter != nullptr)
        DrawDibNearest(*painter, x, y, destinationWidth, destinationHeight, bits, width, height,
                       rowStride);
}
