// The window's own kinds of control: address and numeric fields, typing
// limits, progress bar, signal meter, the information message, the cursor
// override, the error display and the port selector.
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QWheelEvent>
#include <filesystem>

#include "PtyPair.h"
#include "UiTestSupport.h"
#include "app/Failure.h"
#include "app/OperatorMessages.h"
#include "params/ParameterLines.h"
#include "serial/EComPort.h"
#include "ui/QtTranslations.h"
#include "ui/ReportError.h"
#include "ui/TComComboBox.h"
#include "ui/TInformDialog.h"
#include "ui/TIpAddressEdit.h"
#include "ui/TLevelMeter.h"
#include "ui/TNumericEdit.h"
#include "ui/TProgressBar.h"
#include "ui/TypingLimit.h"

using namespace nkq::ui;
using namespace nkq::ui::testing;

namespace {

std::vector<std::string> Lines(const nkq::ParameterSet& set) {
    std::vector<std::string> lines;
    nkq::AddModeSettings(set, lines);
    nkq::AddGprsSettings(set, lines);
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Key presses carrying any character, Cyrillic included.
void TypeInto(QWidget* widget, const QString& text) {
    widget->setFocus(Qt::MouseFocusReason);
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

void Wheel(QWidget* widget, int notches, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF at = QPointF(widget->rect().center());
    QWheelEvent event(at, widget->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

}  // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void addressFieldShowsLineValues_data();
    void addressFieldShowsLineValues();
    void addressFieldTypingTabAndBlankParts();
    void numericFieldKeepsLineTextUntilLeft_data();
    void numericFieldKeepsLineTextUntilLeft();
    void numericFieldStepsWithKeysWheelAndButtons();
    void numericFieldTypingAcceptsDigitsAndOneLeadingSign();
    void reconnectTimeIsBroughtIntoRange();
    void typingLimitsCutOnlyWhatIsTyped();
    void longPasswordFromLineIsShownAndWrittenWhole();
    void limitTypingCases_data();
    void limitTypingCases();
    void progressBarRules();
    void levelMeterClampsAndGrows();
    void informDialogShape();
    void informOperatorClearsCursorOverrideWhileUp();
    void qtDialogsReadInTheWindowsLanguage();
    void fieldFrameIsFlatAndHighlightedUnderTheMouse();
    void qtTextsFollowALanguageTheCatalogueSelects();
    void errorDisplayPeriodRuleAndSilentAbort();
    void failureEscapingAHandlerReachesErrorDisplay();
    void portSelectorListsPicksAndRefreshes();
};

// The field shows what its item made of the line (each conversion is the
// item's own test).
void ControlsTest::addressFieldShowsLineValues_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("part above 255") << "192.168.1.300"
                                    << "192.168.1.44";
    QTest::newRow("hexadecimal") << "$A.0x10.0.1"
                                 << "10.16.0.1";
}

void ControlsTest::addressFieldShowsLineValues() {
    QFETCH(QString, value);
    QFETCH(QString, shown);
    TestWindow w;
    w.Apply("DESTIP " + value.toStdString());
    QCOMPARE(w.Find<TIpAddressEdit>("IPAddrEdit")->ShownText(), shown);
    QCOMPARE(QString::fromStdString(w.form->Parameters().Fields().IPAddrEdit.Text()), shown);
}

void ControlsTest::addressFieldTypingTabAndBlankParts() {
    TestWindow w;
    auto* address = w.Find<TIpAddressEdit>("IPAddrEdit");
    for (int i = 0; i < 4; ++i) address->Part(i)->clear();
    address->Part(0)->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(address->Part(0), "10");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), address->Part(1));
    QTest::keyClicks(address->Part(1), "999");  // more than a part holds
    QCOMPARE(address->Part(1)->text(), QStringLiteral("255"));
    QCOMPARE(QApplication::focusWidget(), address->Part(2));  // three digits move on
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), address->Part(1));
    QCOMPARE(address->ShownText(), QStringLiteral("10.255.."));  // blanks stay while inside
    w.Find<QWidget>("PortEdit")->setFocus(Qt::TabFocusReason);
    QCOMPARE(address->ShownText(), QStringLiteral("10.255.0.0"));
    QCOMPARE(w.form->Parameters().Fields().IPAddrEdit.Text(), std::string("10.255.0.0"));

    // Tab past the last part leaves the field.
    address->Part(3)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(address->Part(3), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.Find<QWidget>("PortEdit"));

    // All parts blank: left blank.
    for (int i = 0; i < 4; ++i) address->Part(i)->clear();
    address->Part(0)->setFocus(Qt::TabFocusReason);
    w.Find<QWidget>("PortEdit")->setFocus(Qt::TabFocusReason);
    QCOMPARE(address->ShownText(), QStringLiteral("..."));
}

// Each conversion is the numeric item's own test.
void ControlsTest::numericFieldKeepsLineTextUntilLeft_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("left");
    QTest::newRow("letters") << "abc"
                             << "0";
    QTest::newRow("above range") << "70000"
                                 << "65535";
    QTest::newRow("in range") << "5000"
                              << "5000";
}

void ControlsTest::numericFieldKeepsLineTextUntilLeft() {
    QFETCH(QString, value);
    QFETCH(QString, left);
    TestWindow w;
    w.Apply("DESTPORT " + value.toStdString());
    auto* port = w.Find<QLineEdit>("PortEdit");
    QCOMPARE(port->text(), value);
    QVERIFY(Contains(Lines(w.form->Parameters()), "DESTPORT " + value.toStdString()));
    port->setFocus(Qt::TabFocusReason);
    w.Find<QPushButton>("ConnectButton")->setFocus(Qt::MouseFocusReason);
    QCOMPARE(port->text(), left);
    QVERIFY(Contains(Lines(w.form->Parameters()), "DESTPORT " + left.toStdString()));
}

void ControlsTest::numericFieldStepsWithKeysWheelAndButtons() {
    TestWindow w;
    auto* port = w.Find<QLineEdit>("PortEdit");
    port->setFocus(Qt::TabFocusReason);
    QTest::keyClick(port, Qt::Key_Up);
    QCOMPARE(port->text(), QStringLiteral("1"));
    QTest::keyClick(port, Qt::Key_PageUp);
    QCOMPARE(port->text(), QStringLiteral("11"));
    QTest::keyClick(port, Qt::Key_PageDown);
    QTest::keyClick(port, Qt::Key_PageDown);
    QCOMPARE(port->text(), QStringLiteral("0"));  // never below the minimum
    Wheel(port, 2);
    QCOMPARE(port->text(), QStringLiteral("2"));
    Wheel(port, 1, Qt::ControlModifier);
    QCOMPARE(port->text(), QStringLiteral("12"));
    Wheel(port, -1);
    QCOMPARE(port->text(), QStringLiteral("11"));
    QCOMPARE(w.form->Parameters().Fields().PortEdit.Text(), std::string("11"));
    w.Apply("DESTPORT abc");
    QTest::keyClick(port, Qt::Key_Down);  // no number: stepping starts from the minimum
    QCOMPARE(port->text(), QStringLiteral("0"));

    QVERIFY(port->findChildren<QToolButton*>().isEmpty());
    auto* idle = w.Find<QLineEdit>("IdleEdit");
    const auto buttons = idle->findChildren<QToolButton*>();
    QCOMPARE(buttons.size(), 2);
    QToolButton* up = buttons[0]->arrowType() == Qt::UpArrow ? buttons[0] : buttons[1];
    QToolButton* down = up == buttons[0] ? buttons[1] : buttons[0];
    for (int i = 0; i < 7; ++i) QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(idle->text(), QStringLiteral("10"));
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(idle->text(), QStringLiteral("9"));
}

void ControlsTest::numericFieldTypingAcceptsDigitsAndOneLeadingSign() {
    TestWindow w;
    auto* port = w.Find<QLineEdit>("PortEdit");
    port->setFocus(Qt::TabFocusReason);
    port->selectAll();
    QTest::keyClicks(port, "-1a2.3");
    QCOMPARE(port->text(), QStringLiteral("-123"));
    port->setCursorPosition(0);
    QTest::keyClicks(port, "+");  // already signed
    QCOMPARE(port->text(), QStringLiteral("-123"));
    port->end(false);
    QTest::keyClicks(port, "-");  // only at the start
    QCOMPARE(port->text(), QStringLiteral("-123"));
    QCOMPARE(w.form->Parameters().Fields().PortEdit.Text(), std::string("-123"));
    port->insert(QStringLiteral("x"));  // pasting inserts whatever it holds
    w.Find<QPushButton>("ConnectButton")->setFocus(Qt::MouseFocusReason);
    QCOMPARE(port->text(), QStringLiteral("0"));

    QVERIFY(TNumericEdit::AcceptsTyped(u'+', QStringLiteral("-5"), 0, true));
    QVERIFY(!TNumericEdit::AcceptsTyped(u'+', QStringLiteral("5"), 1, false));
    QVERIFY(TNumericEdit::AcceptsTyped(u'-', QStringLiteral("5"), 0, false));
}

void ControlsTest::reconnectTimeIsBroughtIntoRange() {
    TestWindow w;
    auto* idle = w.Find<QLineEdit>("IdleEdit");
    w.Apply("IDLETIME 0");
    QCOMPARE(idle->text(), QStringLiteral("1"));
    w.Apply("IDLETIME 11");
    QCOMPARE(idle->text(), QStringLiteral("10"));
}

void ControlsTest::typingLimitsCutOnlyWhatIsTyped() {
    TestWindow w;
    const struct {
        const char* name;
        int limit;
    } fields[] = {{"APNEdit", 50}, {"LoginEdit", 20}, {"PasswordEdit", 20}};
    for (const auto& field : fields) {
        auto* edit = w.Find<QLineEdit>(field.name);
        TypeInto(edit, QString(60, u'ж'));
        QCOMPARE(edit->text().size(), field.limit);
    }
    QCOMPARE(w.Find<QLineEdit>("LoginEdit")->text(), QString(20, u'ж'));
    QCOMPARE(w.form->Parameters().Fields().LoginEdit.Text(), std::string(20, '\xE6'));  // "ж" in Windows-1251
}

void ControlsTest::longPasswordFromLineIsShownAndWrittenWhole() {
    TestWindow w;
    const std::string password(30, 'p');
    w.Apply("PASSWORD " + password);
    auto* edit = w.Find<QLineEdit>("PasswordEdit");
    QCOMPARE(edit->text(), QString::fromStdString(password));
    QVERIFY(Contains(Lines(w.form->Parameters()), "PASSWORD " + password));
    edit->setFocus(Qt::TabFocusReason);
    edit->end(false);
    QTest::keyClicks(edit, "q");  // already over the limit: nothing more goes in
    QCOMPARE(edit->text().size(), 30);
    QTest::keyClick(edit, Qt::Key_Backspace);  // but deleting works
    QCOMPARE(edit->text().size(), 29);
    QCOMPARE(w.form->Parameters().Fields().PasswordEdit.Text(), std::string(29, 'p'));
}

void ControlsTest::limitTypingCases_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("result");
    QTest::newRow("within the limit") << "ab"
                                      << "abc" << 5 << "abc";
    QTest::newRow("typing at the limit") << "abcde"
                                         << "abcXde" << 5 << "abcde";
    QTest::newRow("paste cut to the room") << "ab"
                                           << "a1234b" << 4 << "a12b";
    QTest::newRow("replacing a selection") << "abcde"
                                           << "aXYZe" << 5 << "aXYZe";
    QTest::newRow("replacing with more") << "abcde"
                                         << "aXYZWVe" << 5 << "aXYZe";
    QTest::newRow("shortening a long text") << "abcdefg"
                                            << "abcdef" << 5 << "abcdef";
    QTest::newRow("no limit") << "ab"
                              << "abcdefgh" << 0 << "abcdefgh";
    QTest::newRow("repeated letters") << "aaaa"
                                      << "aaaaaa" << 5 << "aaaaa";
}

void ControlsTest::limitTypingCases() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, limit);
    QFETCH(QString, result);
    QCOMPARE(LimitTyping(before, after, limit), result);
}

void ControlsTest::progressBarRules() {
    const struct {
        int completed, total, percent;
    } shares[] = {{1, 8, 12}, {3, 8, 38},  {5, 8, 62},  {1, 3, 33},
                  {2, 3, 67}, {1, 200, 0}, {3, 200, 2}, {8, 8, 100}};
    for (const auto& share : shares)
        QCOMPARE(TProgressBar::Percent(share.completed, share.total), share.percent);

    TProgressBar bar;
    QVERIFY(!bar.isTextVisible());
    bar.SetTotal(4);
    bar.Advance();
    QCOMPARE(bar.value(), 25);
    bar.SetCompleted(9);  // above the total counts as the total
    QCOMPARE(bar.Completed(), 4);
    QCOMPARE(bar.value(), 100);
    bar.SetTotal(10);  // a new total empties the bar
    QCOMPARE(bar.Completed(), 0);
    QCOMPARE(bar.value(), 0);
    bar.SetCompleted(5);
    bar.SetTotal(0);
    bar.SetCompleted(3);  // no parts: the fill does not change
    QCOMPARE(bar.value(), 0);
}

void ControlsTest::levelMeterClampsAndGrows() {
    TLevelMeter meter;
    meter.resize(57, 25);
    meter.SetLevel(-3);
    QCOMPARE(meter.Level(), 0);
    meter.SetLevel(9);
    QCOMPARE(meter.Level(), 5);
    int previous = 0;
    for (int segment = 0; segment < TLevelMeter::kSegments; ++segment) {
        const QRect box = meter.SegmentShape(segment).boundingRect();
        QVERIFY(box.height() > previous);
        QVERIFY(box.left() >= 0 && box.right() < meter.width());
        QCOMPARE(box.bottom(), meter.height() - 1);  // flat bottom edge
        previous = box.height();
    }
    QVERIFY(meter.SegmentShape(0).boundingRect().height() >= 5);
    QCOMPARE(meter.SegmentShape(4).boundingRect().height(), meter.height());
}

void ControlsTest::informDialogShape() {
    QCOMPARE(TInformDialog::ShapeText(QStringLiteral("a\tb\r\nc\rd")), QStringLiteral("a       b\nc\nd"));
    TInformDialog dialog(ApplicationTitleText(), QString(400, u'x').replace(50, 1, u' '));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Рабочее место настройки и проверки модемов Morvasta NKQ"));
    QCOMPARE(dialog.OkButton()->text(), QStringLiteral("OK"));
    QVERIFY(dialog.OkButton()->isDefault());
    QVERIFY(dialog.TextLabel()->wordWrap());
    QCOMPARE(dialog.TextLabel()->textFormat(), Qt::PlainText);
    QVERIFY(dialog.TextLabel()->width() <= QGuiApplication::primaryScreen()->availableGeometry().width() / 2);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);  // Esc closes it like OK
    QVERIFY(!dialog.isVisible());
}

void ControlsTest::qtDialogsReadInTheWindowsLanguage() {
    QVERIFY2(QFile::exists(QtTranslationsFolder() + QStringLiteral("/qtbase_ru.qm")),
             "Qt's translations are missing: scripts/install-deps.sh installs qt6-translations-l10n");
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        for (QAbstractButton* button : box->buttons()) buttons << button->text().remove(u'&');
        box->button(QMessageBox::No)->click();
    });
    WindowOperator op;
    QVERIFY(!op.AskYesNo("Вы уверены?", "Вопрос"));
    buttons.sort();
    QCOMPARE(buttons, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QCOMPARE(dialog.labelText(QFileDialog::Reject), QStringLiteral("Отмена"));
    QCOMPARE(dialog.labelText(QFileDialog::LookIn), QStringLiteral("Перейти к:"));
}

void ControlsTest::fieldFrameIsFlatAndHighlightedUnderTheMouse() {
    QLineEdit field;
    field.resize(60, 21);
    const auto frame_colour = [&](bool hovered) {
        QStyleOptionFrame option;
        option.initFrom(&field);
        option.state.setFlag(QStyle::State_MouseOver, hovered);
        option.lineWidth = 1;
        QImage image(field.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        field.style()->drawPrimitive(QStyle::PE_FrameLineEdit, &option, &painter, &field);
        return std::pair{image.pixel(0, 10), image.pixel(1, 10)};
    };
    const auto [hovered_edge, hovered_inside] = frame_colour(true);
    QCOMPARE(hovered_edge, field.palette().color(QPalette::Highlight).rgba());
    QCOMPARE(qAlpha(hovered_inside), 0);  // one pixel wide: flat
    QCOMPARE(frame_colour(false).first, field.palette().color(QPalette::Dark).rgba());
}

void ControlsTest::qtTextsFollowALanguageTheCatalogueSelects() {
    QTemporaryDir locale;
    QVERIFY(QDir(locale.path()).mkpath(QStringLiteral("de/LC_MESSAGES")));
    QFile(locale.filePath(QStringLiteral("de/LC_MESSAGES/default.mo"))).open(QIODevice::WriteOnly);
    const std::filesystem::path folder = locale.path().toStdString();
    QCOMPARE(QtTextLanguage(folder, "de_DE"), std::string("de_DE"));
    QCOMPARE(QtTextLanguage(folder, "fr_FR"), std::string("ru_RU"));  // no catalogue: the window's own
    QCOMPARE(LoadQtTranslation("de_DE")->translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));
    // Qt has none for it: Russian.
    QCOMPARE(LoadQtTranslation("eo_XX")->translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
    QVERIFY(!LoadQtTranslation("en_GB"));  // Qt's own texts
}

void ControlsTest::informOperatorClearsCursorOverrideWhileUp() {
    TestWindow w;
    const QCursor* during = reinterpret_cast<const QCursor*>(1);
    w.op->while_informing = [&] { during = QApplication::overrideCursor(); };
    w.op->SetCursorOverride(nkq::CursorOverride::Hourglass);
    w.op->InformOperator(nkq::messages::kTimeout);
    QCOMPARE(during, nullptr);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    // Changed while the message was up: none afterwards.
    w.op->while_informing = [&] { w.op->SetCursorOverride(nkq::CursorOverride::Arrow); };
    w.op->InformOperator("x");
    QCOMPARE(w.op->CurrentCursor(), nkq::CursorOverride::None);
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    w.op->while_informing = {};
    w.op->SetCursorOverride(nkq::CursorOverride::Arrow);
    w.op->InformOperator("y");
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    w.op->SetCursorOverride(nkq::CursorOverride::None);
}

void ControlsTest::errorDisplayPeriodRuleAndSilentAbort() {
    const struct {
        std::string message;
        QString shown;
    } cases[] = {
        {"Unable to open com port (win error code: 2)", "Unable to open com port (win error code: 2)"},
        {"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
        {"Invalid data type for 'FileName'", "Invalid data type for 'FileName'"},
        {"Ошибка связи", "Ошибка связи."},
        {"Done.", "Done."},
        {"", ""},
    };
    for (const auto& c : cases) QCOMPARE(*ErrorDisplayFor(nkq::EConvertError(c.message)), c.shown);
    QVERIFY(!ErrorDisplayFor(nkq::EAbort()).has_value());
    // A conversion failure can carry the modem's Windows-1251 bytes.
    QCOMPARE(*ErrorDisplayFor(nkq::EConvertError("'\xE0\xE1' is not a valid integer value")),
             QStringLiteral("'аб' is not a valid integer value."));
}

void ControlsTest::failureEscapingAHandlerReachesErrorDisplay() {
    TestWindow w;
    TApplication::Guarded([] { throw nkq::EConvertError("'x' is not a valid integer value"); });
    TApplication::Guarded([] { nkq::AbortOperation(); });
    QCOMPARE(w.op->Errors(), std::vector<std::string>{"'x' is not a valid integer value."});

    // A settings file with a bad value: lines before it stay applied, the
    // error reaches the display through the load button, the window goes on.
    const QString path = w.dir.filePath("bad.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("APN fine\r\nCOMBITS x\r\nLOGIN never\r\n");
    file.close();
    w.dialogs->Queue(path);
    w.Click("LoadButton");
    QCOMPARE(w.op->Errors().back(), std::string("'x' is not a valid integer value."));
    QCOMPARE(w.Find<QLineEdit>("APNEdit")->text(), QStringLiteral("fine"));
    QVERIFY(w.Find<QLineEdit>("LoginEdit")->text().isEmpty());
    QVERIFY(w.form->isVisible());
}

void ControlsTest::portSelectorListsPicksAndRefreshes() {
    TestWindow w;
    const std::filesystem::path dev = w.dir.filePath("dev").toStdString();
    // Links to a pseudo-terminal count as ports while the terminal exists.
    const nkq::testing::PtyPair pty;
    const std::string terminal = pty.SlavePath();
    std::filesystem::create_symlink(terminal, dev / "ttyVM10");
    std::filesystem::create_symlink(terminal, dev / "ttyVM2");
    auto* combo = w.Find<TComComboBox>("ComComboBox1");
    QCOMPARE(combo->count(), 0);
    w.Click("RzBmpButton1");
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), QStringLiteral("ttyVM10"));
    QCOMPARE(combo->currentIndex(), -1);  // the port's name is none of them
    QCOMPARE(w.form->ComPort().Port(), std::string("ttyS0"));

    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);  // a pick with the keyboard names the port
    QCOMPARE(w.form->ComPort().Port(), combo->currentText().toStdString());
    std::filesystem::remove(dev / combo->currentText().toStdString());
    w.Click("RzBmpButton1");
    QCOMPARE(combo->count(), 1);
    QCOMPARE(combo->currentIndex(), -1);
    QVERIFY(w.form->ComPort().Port().rfind("ttyVM", 0) == 0);  // refreshing never renames the port
}

NKQ_UI_TEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
