#include "ui/TIpAddressEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <memory>

#include "ui/ModelText.h"

namespace nkq::ui {

namespace {

constexpr int kPartMaximum = 255;
constexpr int kPartDigits = 3;
constexpr int kLastPart = 3;

bool IsDigitKey(const QKeyEvent& event) {
    const QString text = event.text();
    return text.size() == 1 && text[0] >= u'0' && text[0] <= u'9';
}

// The key that ends a part: ".", a blank, and what the "." key and the
// keypad's decimal key give on a Russian layout, where a technician typing
// an address by touch gets "ю" or ",".
bool IsPartSeparator(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const QString text = event.text();
    return text == u"." || text == u" " || text == u"," || text == u"ю" || text == u"Ю";
}

// Another window taking over is not the operator leaving the part.
bool OperatorMoved(const QFocusEvent& event) {
    return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

}  // namespace

// One part: its keys, focus and context menu go to the control first.
class TIpAddressEdit::PartEdit : public QLineEdit {
public:
    PartEdit(TIpAddressEdit& owner, int index) : QLineEdit(&owner), owner_(owner), index_(index) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (owner_.PartKey(index_, event)) return;
        const QString before = text();
        const int cursor = cursorPosition();
        const bool selection = hasSelectedText();
        QLineEdit::keyPressEvent(event);
        // A "0" typed over a selected "0" changes no text but is typed all
        // the same; a digit that did not fit changes nothing.
        const bool digit = IsDigitKey(*event) &&
                           (text() != before || cursorPosition() != cursor || hasSelectedText() != selection);
        if (digit || text() != before) owner_.PartEdited(index_, digit);
    }
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        owner_.EnterPart(index_);
    }
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        owner_.update();  // the focus frame
        if (!OperatorMoved(*event)) return;
        owner_.LeavePart(index_);
        const QWidget* next = QApplication::focusWidget();
        if (std::find(owner_.parts_.begin(), owner_.parts_.end(), next) == owner_.parts_.end())
            owner_.LeftControl();
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        owner_.ShowPartMenu(index_, event->globalPos());
    }

private:
    TIpAddressEdit& owner_;
    int index_;
};

TIpAddressEdit::TIpAddressEdit(IpAddressField& field, QWidget* parent) : QFrame(parent), field_(field) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::NoFocus);
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        parts_[i] = MakePart(static_cast<int>(i));
        if (i < dots_.size()) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            dots_[i] = dot;
        }
    }
    // The parts take the focus instead of the frame.
    setFocusProxy(parts_[0]);
    Mirror();
}

TIpAddressEdit::PartEdit* TIpAddressEdit::MakePart(int index) {
    auto* part = new PartEdit(*this, index);
    part->setFrame(false);
    part->setAlignment(Qt::AlignCenter);
    part->setMaxLength(kPartDigits);
    part->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), part));
    // Cutting, undoing or dropping text changes the address too.
    connect(part, &QLineEdit::textEdited, this, [this] { Store(); });
    return part;
}

QLineEdit* TIpAddressEdit::Part(int index) const { return parts_[static_cast<std::size_t>(index)]; }

void TIpAddressEdit::SetAccessibleName(const QString& name) {
    setAccessibleName(name);
    for (std::size_t i = 0; i < parts_.size(); ++i)
        parts_[i]->setAccessibleName(QStringLiteral("%1, часть %2 из 4").arg(name).arg(i + 1));
}

void TIpAddressEdit::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    PlaceParts();
}

void TIpAddressEdit::PlaceParts() {
    const QRect inner = contentsRect();
    const int dot_width = 4;
    const int part_width = (inner.width() - 3 * dot_width) / 4;
    int x = inner.left();
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        parts_[i]->setGeometry(x, inner.top(), part_width, inner.height());
        x += part_width;
        if (i < dots_.size()) {
            dots_[i]->setGeometry(x, inner.top(), dot_width, inner.height());
            x += dot_width;
        }
    }
}

QString TIpAddressEdit::ShownText() const {
    QStringList pieces;
    for (QLineEdit* part : parts_) pieces << part->text();
    return pieces.join(u'.');
}

void TIpAddressEdit::Mirror() {
    setEnabled(field_.Enabled());
    if (storing_) return;
    const auto& numbers = field_.GetParts();
    for (std::size_t i = 0; i < parts_.size(); ++i) parts_[i]->setText(QString::number(numbers[i]));
}

void TIpAddressEdit::Store() {
    IpAddressField::Parts numbers{};
    for (std::size_t i = 0; i < parts_.size(); ++i)
        numbers[i] = static_cast<std::uint8_t>(std::min(parts_[i]->text().toInt(), kPartMaximum));
    storing_ = true;
    field_.SetParts(numbers);
    storing_ = false;
}

void TIpAddressEdit::GoToPart(int index, bool select_all, bool at_end) {
    QLineEdit* part = Part(index);
    part->setFocus(Qt::OtherFocusReason);
    if (select_all) {
        part->selectAll();
    } else if (at_end) {
        part->end(false);
    } else {
        part->home(false);
    }
}

bool TIpAddressEdit::PartKey(int index, QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        PasteAddress(index);
        return true;
    }
    if (IsPartSeparator(*event)) {
        if (typed_[static_cast<std::size_t>(index)] && index < kLastPart) GoToPart(index + 1, true);
        return true;
    }
    // Shifted keys select and Ctrl moves by words, as usual.
    if (event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) return false;
    const QLineEdit* part = Part(index);
    const bool no_selection = !part->hasSelectedText();
    const bool at_start = no_selection && part->cursorPosition() == 0;
    const bool at_end = no_selection && part->cursorPosition() == part->text().size();
    switch (event->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Left:
            if (!at_start || index == 0) return false;
            GoToPart(index - 1, false, true);
            return true;
        case Qt::Key_Right:
            if (!at_end || index == kLastPart) return false;
            GoToPart(index + 1, false, false);
            return true;
        case Qt::Key_Home:
            GoToPart(0, false, false);
            return true;
        case Qt::Key_End:
            GoToPart(kLastPart, false, true);
            return true;
        default:
            return false;
    }
}

void TIpAddressEdit::PartEdited(int index, bool digit_typed) {
    Store();
    if (!digit_typed) return;
    typed_[static_cast<std::size_t>(index)] = true;
    const QLineEdit* part = Part(index);
    const bool full = part->text().size() == kPartDigits && part->cursorPosition() == kPartDigits;
    // Leaving brings a part above 255 to 255; nothing moves on with it.
    if (index < kLastPart && (full || part->text().toInt() > kPartMaximum)) GoToPart(index + 1, true);
}

void TIpAddressEdit::EnterPart(int index) {
    typed_[static_cast<std::size_t>(index)] = false;
    Part(index)->selectAll();
    update();  // the focus frame
}

// The part shows the number it stands for: above 255 is 255, and "07" is 7.
void TIpAddressEdit::LeavePart(int index) {
    QLineEdit* part = Part(index);
    if (part->text().isEmpty()) return;
    const QString shown = QString::number(std::min(part->text().toInt(), kPartMaximum));
    if (shown == part->text()) return;
    part->setText(shown);
    Store();
}

void TIpAddressEdit::LeftControl() {
    bool any_number = false;
    for (QLineEdit* part : parts_) any_number = any_number || !part->text().isEmpty();
    if (!any_number) return;
    for (QLineEdit* part : parts_)
        if (part->text().isEmpty()) part->setText(QStringLiteral("0"));
}

// A dotted address fills the four parts as a parameter line would; anything
// else is pasted into the part like typing.
void TIpAddressEdit::PasteAddress(int index) {
    const QString text = QApplication::clipboard()->text().trimmed();
    if (!text.contains(u'.')) {
        PartEdit* part = parts_[static_cast<std::size_t>(index)];
        const QString before = part->text();
        part->paste();
        if (part->text() != before) PartEdited(index, true);
        return;
    }
    field_.SetText(ToModel(text));
    Mirror();  // also when the address was already the field's
    GoToPart(kLastPart, false, true);
}

void TIpAddressEdit::ShowPartMenu(int index, const QPoint& at) {
    const std::unique_ptr<QMenu> menu(Part(index)->createStandardContextMenu());
    // The standard menu's "Paste" is known by its text (then a tab and the keys).
    const QString paste = QLineEdit::tr("&Paste");
    for (QAction* action : menu->actions()) {
        if (action->text().section(u'\t', 0, 0) != paste) continue;
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        connect(action, &QAction::triggered, this, [this, index] { PasteAddress(index); });
    }
    menu->exec(at);
}

}  // namespace nkq::ui
