// The window worked by keyboard as a technician does: addresses typed and
// pasted, Tab through every control, Enter, Space, F4 and F5, the focus
// frame, and file dialogs closed every way. Keys and clicks go through the
// window system (QWindow events), so popups see them as a person's would.
#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "PtyPair.h"
#include "UiTestSupport.h"
#include "params/ParameterLines.h"
#include "ui/TComComboBox.h"
#include "ui/TFileNameEdit.h"
#include "ui/TIpAddressEdit.h"

using namespace nkq::ui;
using namespace nkq::ui::testing;

namespace {

QWindow* WindowOf(QWidget* widget) { return widget->window()->windowHandle(); }

void Key(QWidget* on, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(WindowOf(on), key, modifiers);
}

void ClickThroughWindow(QWidget* widget) {
    QWidget* top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

// The context menu of the focused part, answered with its "Paste".
void PasteFromMenu(QWidget* part) {
    QTimer::singleShot(50, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* action : menu->actions())
            if (action->text().startsWith(QLineEdit::tr("&Paste"))) action->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, part->rect().center(),
                            part->mapToGlobal(part->rect().center()));
    QApplication::sendEvent(part, &event);
}

// Types `script` into whatever has the focus: characters as typed, {BS},
// {Left}, {Right}, {Home}, {End}, {Paste:TEXT} (Ctrl+V) and {Menu:TEXT}
// (the context menu's "Paste").
void Type(QWidget* window, const QString& script) {
    for (int i = 0; i < script.size(); ++i) {
        if (script[i] != u'{') {
            QTest::sendKeyEvent(QTest::Click, WindowOf(window), Qt::Key_unknown, QString(script[i]), {});
            continue;
        }
        const int close = script.indexOf(u'}', i);
        const QString token = script.mid(i + 1, close - i - 1);
        i = close;
        const std::map<QString, Qt::Key> keys{{"BS", Qt::Key_Backspace}, {"Left", Qt::Key_Left},
                                              {"Right", Qt::Key_Right},  {"Home", Qt::Key_Home},
                                              {"End", Qt::Key_End},      {"Paste", Qt::Key_V}};
        const QString name = token.section(u':', 0, 0);
        QApplication::clipboard()->setText(token.section(u':', 1));
        if (name == QStringLiteral("Menu"))
            PasteFromMenu(QApplication::focusWidget());
        else
            Key(window, keys.at(name),
                name == QStringLiteral("Paste") ? Qt::ControlModifier : Qt::NoModifier);
    }
}

std::string LineFor(const nkq::ParameterSet& set, const std::string& key) {
    std::vector<std::string> lines;
    nkq::AddModeSettings(set, lines);
    for (const auto& line : lines)
        if (line.rfind(key + " ", 0) == 0) return line;
    return {};
}

// Its own name, or its control's for an address part or the "..." button.
QString FocusName(const QWidget* widget) {
    return widget->objectName().isEmpty() ? widget->parentWidget()->objectName() + u'/'
                                          : widget->objectName();
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void addressStoredAsTyped_data();
    void addressStoredAsTyped();
    void tabReachesAndScreenReadersNameEveryEnabledControl();
    void enterSpaceF4AndF5PressTheirButtons();
    void focusedFieldShowsItsFrame();
    void fileDialogsLeaveNoPopupBehind();
};

void KeyboardTest::addressStoredAsTyped_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("stored");
    const struct {
        const char* keys;
        const char* stored;
    } cases[] = {
        {"192.168.1.10", "192.168.1.10"},
        {"172.16.5.4", "172.16.5.4"},
        {"10.0.0.1", "10.0.0.1"},
        {"1.2.3.4", "1.2.3.4"},
        {"255.255.255.255", "255.255.255.255"},
        {"300.1.1.1", "255.1.1.1"},        // brought to 255, nothing carried on
        {"1.2.3.999", "1.2.3.255"},        // the last part when the field is left
        {"192 168 1 10", "192.168.1.10"},  // blanks end parts too
        {"192ю168ю1ю10", "192.168.1.10"},  // the "." key on a Russian layout
        {"1..2", "1.2.0.0"},               // a "." with nothing typed is swallowed
        {"10.{BS}{BS}5", "105.0.0.0"},     // Backspace in an empty part goes back
        {"1.2{Left}{Left}3", "13.2.0.0"},  // Left crosses into the previous part
        {"1{Right}2", "1.20.0.0"},         // Right crosses into the next
        {"{End}7{Home}9", "90.0.0.7"},     // End and Home: last and first part
        {"{Paste:192.168.1.10}", "192.168.1.10"},
        {"5.{Paste: 10.0.0.1\n}", "10.0.0.1"},
        {"{Paste:300.1.1.1}", "44.1.1.1"},  // as a parameter line would set it
        {"7.{Menu:192.168.1.10}", "192.168.1.10"},
    };
    for (const char* field : {"IPAddrEdit", "IPAddr3"})
        for (const auto& c : cases)
            QTest::addRow("%s %s", field, QByteArray(c.keys).replace('\n', "\\n").constData())
                << field << QString::fromUtf8(c.keys) << c.stored;
}

void KeyboardTest::addressStoredAsTyped() {
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, stored);
    TestWindow w;
    const bool server = field != QStringLiteral("IPAddrEdit");
    if (server) w.Apply("MODE 0");
    auto* address = w.Find<TIpAddressEdit>(field.toLatin1().constData());
    address->Part(0)->setFocus(Qt::TabFocusReason);
    Type(w.form.get(), keys);
    w.Find<QWidget>(server ? "Port3" : "PortEdit")->setFocus(Qt::TabFocusReason);
    QCOMPARE(address->ShownText(), stored);
    const std::string expected =
        server ? "IPPING3 " + stored.toStdString() + " 0" : "DESTIP " + stored.toStdString();
    QCOMPARE(LineFor(w.form->Parameters(), server ? "IPPING3" : "DESTIP"), expected);
}

void KeyboardTest::tabReachesAndScreenReadersNameEveryEnabledControl() {
    TestWindow w;
    for (const char* mode : {"MODE 1", "MODE 0"}) {
        w.Apply(mode);
        w.Find<QWidget>("RateCombo")->setFocus(Qt::TabFocusReason);
        QList<QWidget*> reached{QApplication::focusWidget()};
        for (int presses = 0; presses < 200; ++presses) {
            Key(w.form.get(), Qt::Key_Tab);
            if (QApplication::focusWidget() == reached.first()) break;
            reached << QApplication::focusWidget();
        }
        for (QWidget* control : w.form->findChildren<QWidget*>()) {
            const bool kind = qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
                              qobject_cast<QComboBox*>(control);
            // IdleEdit's step buttons: Up and Down in the field step it.
            const bool step_button = qobject_cast<QToolButton*>(control) &&
                                     control->parentWidget()->objectName() == QStringLiteral("IdleEdit");
            if (!kind || step_button || !control->isVisible() || !control->isEnabled()) continue;
            QVERIFY2(reached.contains(control), qPrintable(FocusName(control) + " is not reached by Tab"));
            QVERIFY2(!AccessibleName(control).isEmpty(), qPrintable(FocusName(control) + " has no name"));
        }
    }
    const struct {
        QWidget* control;
        const char* name;
    } names[] = {
        {w.Find<QWidget>("APNEdit"), "APN"},
        {w.Find<QWidget>("LoginEdit"), "Логин"},
        {w.Find<QWidget>("PasswordEdit"), "Пароль"},
        {w.Find<TIpAddressEdit>("IPAddrEdit")->Part(0), "IP адрес сервера, часть 1 из 4"},
        {w.Find<TIpAddressEdit>("IPAddr2")->Part(3), "IP адрес 2, часть 4 из 4"},
        {w.Find<QWidget>("RzBmpButton1"), "Обновить список портов"},
    };
    for (const auto& n : names) QCOMPARE(AccessibleName(n.control), QString::fromUtf8(n.name));
    // A list's name is its entry on Linux; its label is its relation.
    const auto labels =
        QAccessible::queryAccessibleInterface(w.Find<QWidget>("RateCombo"))->relations(QAccessible::Label);
    QVERIFY(!labels.isEmpty());
    QCOMPARE(labels.first().first->text(QAccessible::Name), QStringLiteral("Скорость (бит\\сек):"));
}

void KeyboardTest::enterSpaceF4AndF5PressTheirButtons() {
    TestWindow w;
    const auto press = [&](const char* name, Qt::Key key) {
        w.Find<QWidget>(name)->setFocus(Qt::TabFocusReason);
        Key(w.form.get(), key);
    };
    press("SaveButton", Qt::Key_Return);
    press("LoadButton", Qt::Key_Enter);
    auto* file = w.Find<TFileNameEdit>("FileNameEdit");
    QVERIFY(file->Button()->toolTip().contains(QStringLiteral("F4")));
    press("FileNameEdit", Qt::Key_F4);
    file->Button()->setFocus(Qt::TabFocusReason);
    Key(w.form.get(), Qt::Key_Return);
    QCOMPARE(w.dialogs->Shown(),
             (std::vector<std::string>{"save settings", "open settings", "open firmware", "open firmware"}));

    // The port list grows with each refresh: Space, Enter, then F5 in the list.
    const std::filesystem::path dev = w.dir.filePath("dev").toStdString();
    const nkq::testing::PtyPair pty;
    auto* ports = w.Find<TComComboBox>("ComComboBox1");
    int port = 0;
    for (const auto& [name, key] :
         {std::pair{"RzBmpButton1", Qt::Key_Space}, std::pair{"RzBmpButton1", Qt::Key_Return},
          std::pair{"ComComboBox1", Qt::Key_F5}}) {
        std::filesystem::create_symlink(pty.SlavePath(), dev / ("ttyVM" + std::to_string(++port)));
        press(name, key);
        QCOMPARE(ports->count(), port);
    }
}

void KeyboardTest::focusedFieldShowsItsFrame() {
    TestWindow w;
    auto* apn = w.Find<QWidget>("APNEdit");
    auto* address = w.Find<TIpAddressEdit>("IPAddrEdit");
    const QRgb highlight = apn->palette().color(QPalette::Highlight).rgb();
    const auto left_edge = [](QWidget* field) {
        return field->grab().toImage().pixel(0, field->height() / 2);
    };
    apn->setFocus(Qt::TabFocusReason);
    QCOMPARE(left_edge(apn), highlight);
    QVERIFY(left_edge(address) != highlight);
    address->Part(2)->setFocus(Qt::TabFocusReason);  // a part has it: the whole field shows it
    QCOMPARE(left_edge(address), highlight);
    QVERIFY(left_edge(apn) != highlight);
}

// Each way of closing a dialog, then a click on the next button: the click
// must open the next dialog at once, with no list of names left over.
void KeyboardTest::fileDialogsLeaveNoPopupBehind() {
    TestWindow w(nullptr, true, TestWindow::Dialogs::Real);
    const QString folder = w.dir.filePath(QStringLiteral("images"));
    QVERIFY(QDir().mkpath(folder));
    for (const char* name : {"fw-1.mfw", "fw-2.mfw"})
        std::ofstream((folder + u'/' + name).toStdString()) << "x";

    std::function<void(QFileDialog&)> step;
    int steps = 0;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || !step) return;
        ++steps;
        std::exchange(step, nullptr)(*dialog);
    });
    watcher.start(20);
    const auto no_popup_after = [&](const char* way) {
        // The folder is read in the background; its list would open late.
        const bool popup = QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 1500);
        QVERIFY2(!popup, way);
    };

    step = [&](QFileDialog& dialog) {  // a name typed, then Enter, before the folder is read
        dialog.setDirectory(folder);
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setFocus();
        for (const QChar c : QStringLiteral("fw-1.mfw"))
            QTest::sendKeyEvent(QTest::Click, dialog.windowHandle(), Qt::Key_unknown, QString(c), {});
        // An Enter that picks from a list of names leaves the dialog up: again.
        for (int enter = 0; enter < 3 && dialog.isVisible(); ++enter) {
            QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
            QTest::qWait(100);
        }
    };
    auto* file = w.Find<TFileNameEdit>("FileNameEdit");
    file->setFocus(Qt::TabFocusReason);
    Key(file, Qt::Key_F4);
    QCOMPARE(file->text(), folder + QStringLiteral("/fw-1.mfw"));
    no_popup_after("Enter");

    step = [](QFileDialog& dialog) { QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape); };
    ClickThroughWindow(w.Find<QWidget>("LoadButton"));
    QCOMPARE(steps, 2);
    no_popup_after("Escape");

    step = [](QFileDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel),
                          Qt::LeftButton);
    };
    ClickThroughWindow(w.Find<QWidget>("SaveButton"));
    QCOMPARE(steps, 3);
    no_popup_after("the Cancel button");

    step = [&](QFileDialog& dialog) {  // a double-click on a name in the list
        dialog.setDirectory(folder);
        auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
        const auto item = [&] {
            return list->model()->match(list->model()->index(0, 0, list->rootIndex()), Qt::DisplayRole,
                                        "fw-2.mfw");
        };
        QVERIFY(QTest::qWaitFor([&] { return !item().isEmpty(); }));
        const QPoint at = list->visualRect(item().first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    };
    ClickThroughWindow(file->Button());
    QCOMPARE(steps, 4);
    QCOMPARE(file->text(), folder + QStringLiteral("/fw-2.mfw"));
    no_popup_after("a double-click");

    auto* parity = w.Find<QAbstractButton>("ParityCheckBox");
    ClickThroughWindow(parity);
    QVERIFY(parity->isChecked());
}

NKQ_UI_TEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"
