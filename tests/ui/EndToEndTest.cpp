// Every button of the window against the virtual modem on a real
// pseudo-terminal, with the protocol's real timings; each case runs as its
// own CTest test so they run side by side.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <fstream>

#include "QuietLine.h"
#include "UiTestSupport.h"
#include "VirtualModem.h"
#include "app/OperatorMessages.h"
#include "journal/JournalFile.h"
#include "ui/TFileNameEdit.h"
#include "ui/TIpAddressEdit.h"
#include "ui/TLevelMeter.h"
#include "ui/TProgressBar.h"
#include "ui/TStateForm.h"

using namespace nkq::ui;
using namespace nkq::ui::testing;

namespace {

using namespace nkq::messages;

const std::string kReadOk = std::string("inform: ") + kReadSucceeded;
const std::string kWriteOk = std::string("inform: ") + kWriteSucceeded;
const std::string kQuestion = std::string("ask: ") + kQuestionCaption + ": " + kUpdateQuestion;

// A window whose port is the modem's line.
struct ModemWindow {
    explicit ModemWindow(nkq::ModemBehaviour behaviour = {}) : modem(Setup(behaviour)) {
        w.form->ComPort().SetPort(modem.DevicePath());
    }

    static nkq::ModemSetup Setup(const nkq::ModemBehaviour& behaviour) {
        nkq::ModemSetup setup;
        setup.behaviour = behaviour;
        return setup;
    }

    // The modem reads on its own thread: wait until the line has been quiet.
    std::vector<std::string> Received() {
        nkq::testing::AwaitQuietLine(modem, [] { QTest::qWait(100); });
        return modem.CommandLines();
    }

    TestWindow w;
    nkq::VirtualModem modem;
};

// Calls `step` with the modal window every 50 ms until it returns true.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<bool(QWidget*)> step) : step_(std::move(step)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && step_(modal)) timer_.stop();
        });
        timer_.start(50);
    }

private:
    std::function<bool(QWidget*)> step_;
    QTimer timer_;
};

QString WriteImage(const QTemporaryDir& dir, int size) {
    const QString path = dir.filePath(QStringLiteral("образ.mfw"));
    std::string bytes(static_cast<std::size_t>(size), '\0');
    for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(i * 7 + 3);
    std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << bytes;
    return path;
}

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void readShowsModemParameters();
    void readFromSilentModemTimesOut();
    void writeSendsEditedValuesAfterLeavingTheField();
    void writeToRs485ModemShowsNoticeAndLocksFlowControl();
    void statusWindowPollsAndListsConnections();
    void statusWindowClosedEarlySendsNoQuery();
    void statusWindowOfSilentModemStopsPollingAfterTimeout();
    void firmwareUpdateSendsBlocksWithProgress();
    void firmwareUpdateDeclinedChangesNothing();
    void firmwareUpdateIsNotHeldByTheWindowsOtherControls();
    void firmwareUpdateWithoutLoaderSaysDeviceNotFound();
    void settingsFileSavedAndLoadedBack();
    void cancelledDialogsDoNothing();
    void journalKeepsEachOperationSilently();
};

void EndToEndTest::readShowsModemParameters() {
    ModemWindow m;
    m.w.Click("ConnectButton");
    QCOMPARE(m.w.op->Calls(), (std::vector<std::string>{"cursor: hourglass", "cursor: arrow", kReadOk}));
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);  // kept after the first read
    QCOMPARE(m.w.Find<TIpAddressEdit>("IPAddrEdit")->ShownText(), QStringLiteral("10.0.0.1"));
    QCOMPARE(m.w.Find<QLineEdit>("PortEdit")->text(), QStringLiteral("5000"));
    QCOMPARE(m.w.Find<QLineEdit>("APNEdit")->text(), QStringLiteral("internet"));
    QCOMPARE(m.w.Find<QComboBox>("RateCombo")->currentText(), QStringLiteral("9600"));
    QCOMPARE(m.w.Find<QComboBox>("BitsCombo")->currentText(), QStringLiteral("8"));
    QCOMPARE(m.w.Find<QLineEdit>("VersionEdit")->text(), QStringLiteral("1.0"));
    QCOMPARE(m.w.Find<QLabel>("ModelLabel")->text(), QStringLiteral("NKQ-GPRS virtual"));
    QCOMPARE(m.w.Find<TLevelMeter>("LevelMeter")->Level(), 5);
    QVERIFY(!m.w.form->FAnswer().empty());
    QCOMPARE(m.Received(), (std::vector<std::string>{"STOP", "GET", "START"}));
    QVERIFY(!m.w.form->ComPort().Connected());
    QApplication::restoreOverrideCursor();
}

void EndToEndTest::readFromSilentModemTimesOut() {
    nkq::ModemBehaviour silent;
    silent.silent = true;
    ModemWindow m(silent);
    m.w.Apply("DEVICE x");
    m.w.Click("ConnectButton");
    QCOMPARE(m.w.op->Messages(), (std::vector<std::string>{kTimeout, kCheckConnection}));
    QVERIFY(m.w.op->Errors().empty());  // the silent abort shows nothing more
    QCOMPARE(m.w.Find<QLabel>("ModelLabel")->text(), QStringLiteral("Нет подключения к устройству"));
    QVERIFY(m.w.form->isVisible());
    QApplication::restoreOverrideCursor();
}

void EndToEndTest::writeSendsEditedValuesAfterLeavingTheField() {
    ModemWindow m;
    auto* apn = m.w.Find<QLineEdit>("APNEdit");
    apn->setFocus(Qt::MouseFocusReason);
    apn->selectAll();
    QTest::keyClicks(apn, "m2m.test");
    auto* port = m.w.Find<QLineEdit>("PortEdit");
    port->setFocus(Qt::MouseFocusReason);
    port->selectAll();
    QTest::keyClicks(port, "70000");
    m.w.Click("WriteButton");  // the button takes the focus first: the port field is left
    QCOMPARE(port->text(), QStringLiteral("65535"));
    QCOMPARE(m.w.op->Calls(), (std::vector<std::string>{"cursor: hourglass", "cursor: arrow", kWriteOk}));
    const nkq::ModemParameters saved = m.modem.Parameters();
    QCOMPARE(saved.Get("APN").value_or("?"), std::string("m2m.test"));
    QCOMPARE(saved.Get("DESTPORT").value_or("?"), std::string("65535"));
    QCOMPARE(saved.Get("MODE").value_or("?"), std::string("1"));
    const auto lines = m.Received();
    QCOMPARE(lines.front(), std::string("STOP"));
    QCOMPARE(lines.back(), std::string("START"));
    QApplication::restoreOverrideCursor();
}

void EndToEndTest::writeToRs485ModemShowsNoticeAndLocksFlowControl() {
    nkq::ModemBehaviour rs485;
    rs485.rs485 = true;
    ModemWindow m(rs485);
    m.w.Find<QComboBox>("FlowCombo")->setCurrentIndex(1);
    m.w.Click("WriteButton");
    QCOMPARE(m.w.op->Messages(), (std::vector<std::string>{kRs485Notice, kWriteSucceeded}));
    QVERIFY(!m.w.Find<QComboBox>("FlowCombo")->isEnabled());
    QCOMPARE(m.w.Find<QComboBox>("FlowCombo")->currentIndex(), 0);
    QApplication::restoreOverrideCursor();
}

void EndToEndTest::statusWindowPollsAndListsConnections() {
    ModemWindow m;
    m.w.Click("ServerRadio");
    QString title, initial, listed;
    QSize size;
    QElapsedTimer open;
    qint64 first_poll_ms = -1;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* form = qobject_cast<nkq::ui::TStateForm*>(modal);
        if (!form) return false;
        if (!open.isValid()) {
            open.start();
            title = form->windowTitle();
            size = form->size();
            initial = form->Memo()->toPlainText();
        }
        if (form->Memo()->toPlainText() == initial) return false;
        first_poll_ms = open.elapsed();
        listed = form->Memo()->toPlainText();
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("ExitButton")), Qt::LeftButton);
        return true;
    });
    m.w.Click("ShowStateButton");
    QCOMPARE(title, QStringLiteral("Текущие подключения"));
    QCOMPARE(size, QSize(313, 222));
    QCOMPARE(initial, QStringLiteral("Текущие подключения"));
    QCOMPARE(listed, QStringLiteral("Текущие подключения:\n192.168.0.5:1234\n10.20.30.40:5000\n"));
    // The 5 s interval and the 3 s wait for the reply, short of a second interval.
    QVERIFY2(first_poll_ms >= 4900 && first_poll_ms < 13000, qPrintable(QString::number(first_poll_ms)));
    QCOMPARE(m.Received(), (std::vector<std::string>{"STOP", "TCP", "START"}));
    QVERIFY(m.w.op->Calls().empty());
    QVERIFY(!m.w.form->ComPort().Connected());
}

void EndToEndTest::statusWindowClosedEarlySendsNoQuery() {
    ModemWindow m;
    m.w.Click("ServerRadio");
    ModalWatcher watcher([](QWidget* modal) {
        auto* form = qobject_cast<nkq::ui::TStateForm*>(modal);
        if (!form) return false;
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("ExitButton")), Qt::LeftButton);
        return true;
    });
    m.w.Click("ShowStateButton");
    QTest::qWait(5500);  // past the first poll's time: the closed window asks nothing
    QCOMPARE(m.Received(), (std::vector<std::string>{"STOP", "START"}));
}

void EndToEndTest::statusWindowOfSilentModemStopsPollingAfterTimeout() {
    nkq::ModemBehaviour silent;
    silent.silent = true;
    ModemWindow m(silent);
    m.w.Click("ServerRadio");
    QString text_after_timeout;
    bool timer_stopped = false;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* form = qobject_cast<nkq::ui::TStateForm*>(modal);
        if (!form || m.w.op->Messages().empty()) return false;
        text_after_timeout = form->Memo()->toPlainText();
        timer_stopped = !form->Timer()->isActive();
        form->reject();
        return true;
    });
    m.w.Click("ShowStateButton");
    QCOMPARE(m.w.op->Messages(), std::vector<std::string>{kTimeout});
    QCOMPARE(text_after_timeout, QStringLiteral("Текущие подключения"));
    QVERIFY(timer_stopped);
    // Closing the window still sends "START" on the open port, then closes it.
    QVERIFY(m.w.op->Errors().empty());
    QCOMPARE(m.Received(), (std::vector<std::string>{"STOP", "TCP", "START"}));
    QVERIFY(!m.w.form->ComPort().Connected());
    QVERIFY(m.w.form->isVisible());
}

void EndToEndTest::firmwareUpdateSendsBlocksWithProgress() {
    ModemWindow m;
    const QString image = WriteImage(m.w.dir, 3 * 512 + 100);
    m.w.dialogs->Queue(image);
    m.w.Find<TFileNameEdit>("FileNameEdit")->setFocus();
    QTest::keyClick(m.w.Find<TFileNameEdit>("FileNameEdit"), Qt::Key_F4);
    m.w.op->QueueAnswer(true);

    std::vector<int> fills;
    bool port_users_refused = true;
    bool stayed_open = true;
    m.w.op->at_pending_events = [&] {
        auto* bar = m.w.Find<TProgressBar>("ProgressBar");
        if (!bar->isVisible()) fills.push_back(-1);
        fills.push_back(bar->value());
        for (const char* name : {"ConnectButton", "WriteButton", "LoadButton", "SaveButton",
                                 "ShowStateButton", "ComComboBox1", "RzBmpButton1", "WriteFirmwareButton"})
            port_users_refused = port_users_refused && !m.w.Find<QWidget>(name)->isEnabled();
        m.w.form->close();  // held off until the update has ended
        stayed_open = stayed_open && m.w.form->isVisible();
    };
    m.w.Click("WriteFirmwareButton");
    m.w.op->at_pending_events = {};

    QCOMPARE(fills, (std::vector<int>{33, 67, 100}));
    QVERIFY(port_users_refused);
    QVERIFY(stayed_open);
    QCOMPARE(m.w.op->Calls(), (std::vector<std::string>{kQuestion + " -> yes", "progress: show",
                                                        "progress: total 3", "progress: hide"}));
    QVERIFY(m.w.Find<TProgressBar>("ProgressBar")->isHidden());
    std::ifstream file(QFile::encodeName(image).toStdString(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    QCOMPARE(m.modem.FirmwareImage(), bytes.substr(0, 3 * 512));
    QCOMPARE(m.w.names->LoadFileName(), QFile::encodeName(image).toStdString());
    QVERIFY(m.w.Find<QWidget>("ConnectButton")->isEnabled());
    QVERIFY(!m.w.form->ComPort().Connected());
    QTRY_VERIFY(!m.w.form->isVisible());  // the close asked for meanwhile happens now
}

void EndToEndTest::firmwareUpdateDeclinedChangesNothing() {
    ModemWindow m;
    m.w.Find<QLineEdit>("FileNameEdit")->setText(WriteImage(m.w.dir, 512));
    m.w.op->QueueAnswer(false);
    m.w.Click("WriteFirmwareButton");
    QCOMPARE(m.w.op->Calls(), std::vector<std::string>{kQuestion + " -> no"});
    QCOMPARE(m.w.names->LoadFileName(), std::string());
    QVERIFY(m.Received().empty());
}

namespace {

// The longest pause on the line between two packets of the transfer (from
// the count's acknowledgement on), taken from the modem's trace.
std::chrono::microseconds LongestPauseBetweenPackets(const std::vector<nkq::TraceEntry>& trace) {
    int acknowledged = 0;
    std::chrono::microseconds last{-1}, longest{0};
    for (const auto& entry : trace) {
        if (acknowledged < 3) {  // after "UPDATE", "S" and the count
            if (entry.direction == nkq::TraceDirection::FromModem) ++acknowledged;
            last = entry.time;
        } else if (entry.direction == nkq::TraceDirection::ToModem) {
            longest = std::max(longest, entry.time - last);
            last = entry.time;
        }
    }
    return longest;
}

}  // namespace

void EndToEndTest::firmwareUpdateIsNotHeldByTheWindowsOtherControls() {
    nkq::ModemBehaviour paced;
    paced.real_speed = true;
    ModemWindow m(paced);
    constexpr int kBlocks = 24;
    m.w.Find<QLineEdit>("FileNameEdit")->setText(WriteImage(m.w.dir, kBlocks * 512));
    m.w.op->QueueAnswer(true);
    // A dialog that opened would hold the upload this long, as would the
    // pause after "STOP" of a read or write that started.
    constexpr int kHoldMs = 500;
    m.w.dialogs->hold_ms = kHoldMs;
    auto* field = m.w.Find<TFileNameEdit>("FileNameEdit");
    const std::vector<std::function<void()>> clicks = {
        [&] { m.w.Click("LoadButton"); },
        [&] { m.w.Click("SaveButton"); },
        [&] { QTest::mouseClick(field->Button(), Qt::LeftButton); },
        [&] { QTest::keyClick(field, Qt::Key_F4); },
        [&] { m.w.Click("ConnectButton"); },
        [&] { m.w.Click("WriteButton"); },
        [&] { m.w.Click("RzBmpButton1"); },
    };
    std::size_t passes = 0;
    m.w.op->at_pending_events = [&] { clicks[passes++ % clicks.size()](); };
    m.w.Click("WriteFirmwareButton");
    m.w.op->at_pending_events = {};

    QCOMPARE(passes, std::size_t{kBlocks});
    QCOMPARE(m.modem.UploadsCompleted(), 1);
    // A packet and its acknowledgement take 514 bytes of 10 bits at 115200
    // bit/s, some 45 ms; nothing held the upload as long as a hold.
    const auto longest = LongestPauseBetweenPackets(m.modem.Trace());
    QVERIFY2(longest < std::chrono::milliseconds(kHoldMs),
             qPrintable(QStringLiteral("longest pause %1 us").arg(longest.count())));
    QVERIFY(m.w.dialogs->Shown().empty());
    // Afterwards each control works again.
    for (const char* name : {"LoadButton", "SaveButton", "ConnectButton", "WriteButton", "RzBmpButton1"})
        QVERIFY2(m.w.Find<QWidget>(name)->isEnabled(), name);
    m.w.dialogs->hold_ms = 0;
    QTest::keyClick(field, Qt::Key_F4);
    QCOMPARE(m.w.dialogs->Shown(), std::vector<std::string>{"open firmware"});
}

void EndToEndTest::firmwareUpdateWithoutLoaderSaysDeviceNotFound() {
    nkq::ModemBehaviour no_loader;
    no_loader.no_update_reply = true;
    ModemWindow m(no_loader);
    m.w.Find<QLineEdit>("FileNameEdit")->setText(WriteImage(m.w.dir, 1024));
    m.w.op->QueueAnswer(true);
    m.w.Click("WriteFirmwareButton");
    QCOMPARE(m.w.op->Messages(), std::vector<std::string>{kDeviceNotFound});
    QVERIFY(m.w.Find<TProgressBar>("ProgressBar")->isHidden());
    QVERIFY(m.w.Find<QWidget>("WriteFirmwareButton")->isEnabled());
}

void EndToEndTest::settingsFileSavedAndLoadedBack() {
    TestWindow w;
    w.Apply("MODE 0\r\nSERVERPORT 4001\r\nIPPING2 10.1.2.3 77\r\nIDLETIME 7\r\nAPN сеть\r\nCOMRATE 57600");
    const QString path = w.dir.filePath(QStringLiteral("server.txt"));
    w.dialogs->Queue(path);
    w.Click("SaveButton");
    QVERIFY(QFile::exists(path));
    w.Apply("MODE 1\r\nSERVERPORT 1\r\nIPPING2 0.0.0.0 0\r\nIDLETIME 1\r\nAPN x\r\nCOMRATE 1200");
    w.dialogs->Queue(path);
    w.Click("LoadButton");
    QVERIFY(w.Find<QRadioButton>("ServerRadio")->isChecked());
    QCOMPARE(w.Find<QLineEdit>("IncomePortEdit")->text(), QStringLiteral("4001"));
    QCOMPARE(w.Find<TIpAddressEdit>("IPAddr2")->ShownText(), QStringLiteral("10.1.2.3"));
    QCOMPARE(w.Find<QLineEdit>("Port2")->text(), QStringLiteral("77"));
    QCOMPARE(w.Find<QLineEdit>("IdleEdit")->text(), QStringLiteral("7"));
    QCOMPARE(w.Find<QLineEdit>("APNEdit")->text(), QStringLiteral("сеть"));
    QCOMPARE(w.Find<QComboBox>("RateCombo")->currentText(), QStringLiteral("57600"));
    QVERIFY(w.op->Calls().empty());
}

void EndToEndTest::journalKeepsEachOperationSilently() {
    ModemWindow m;
    m.w.Click("ConnectButton");
    const QString path = m.w.dir.filePath(QStringLiteral("saved.txt"));
    m.w.dialogs->Queue(path);
    m.w.Click("SaveButton");
    QCOMPARE(m.w.op->Messages(), std::vector<std::string>{kReadSucceeded});  // nothing more shown

    namespace journal = nkq::journal;
    const auto rows = journal::ReadJournal(m.w.JournalPath());
    QCOMPARE(rows.size(), std::size_t{2});
    QVERIFY(rows[0].Operation == journal::OperationKind::Save &&
            rows[1].Operation == journal::OperationKind::Read);
    QCOMPARE(rows[0].SettingsPath, QFile::encodeName(path).toStdString());
    QVERIFY(rows[1].Result == journal::Outcome::Succeeded && rows[1].Program == journal::ProgramKind::Window);
    QCOMPARE(rows[1].Port, m.modem.DevicePath());
    QCOMPARE(rows[1].Modem.Device, std::string("virtual"));
    QCOMPARE(rows[1].Messages.size(), std::size_t{1});
    QCOMPARE(rows[1].Messages[0].Text, std::string(kReadSucceeded));
    QCOMPARE(rows[0].Modem.Device, std::string("virtual"));  // known from the read before on that port
    QApplication::restoreOverrideCursor();
}

void EndToEndTest::cancelledDialogsDoNothing() {
    TestWindow w;
    w.Apply("APN kept");
    w.Click("SaveButton");  // no answer queued: cancelled
    w.Click("LoadButton");
    QTest::mouseClick(w.Find<TFileNameEdit>("FileNameEdit")->Button(), Qt::LeftButton);
    QCOMPARE(w.dialogs->Shown(),
             (std::vector<std::string>{"save settings", "open settings", "open firmware"}));
    QCOMPARE(w.Find<QLineEdit>("APNEdit")->text(), QStringLiteral("kept"));
    QVERIFY(w.Find<QLineEdit>("FileNameEdit")->text().isEmpty());
    QVERIFY(w.op->Calls().empty());
    QVERIFY(QDir(w.dir.path()).entryList(QDir::Files).isEmpty());
    QCOMPARE(WithDefaultSuffix(QStringLiteral("/tmp/set")), QStringLiteral("/tmp/set.txt"));
    QCOMPARE(WithDefaultSuffix(QStringLiteral("/tmp/set.cfg")), QStringLiteral("/tmp/set.cfg"));
}

NKQ_UI_TEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
