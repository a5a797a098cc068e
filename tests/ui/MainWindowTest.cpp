// The main window's start-up, layout and enabling rules, driven through its
// controls and through parameter lines.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <fstream>

#include "TextFit.h"
#include "UiTestSupport.h"
#include "app/OperatorMessages.h"
#include "ui/QSettingsFileNameStore.h"
#include "ui/TFileNameEdit.h"
#include "ui/TInformDialog.h"
#include "ui/TLevelMeter.h"
#include "ui/TProgressBar.h"
#include "ui/TStateForm.h"
#include "ui/WindowFonts.h"

using namespace nkq::ui::testing;

namespace {

const char* const kModeFields[] = {"IPAddrEdit", "PortEdit", "IncomePortEdit", "IPAddr1",        "IPAddr2",
                                   "IPAddr3",    "IPAddr4",  "IPAddr5",        "Port1",          "Port2",
                                   "Port3",      "Port4",    "Port5",          "ShowStateButton"};

bool IsClientField(const QString& name) { return name == "IPAddrEdit" || name == "PortEdit"; }

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void captionSizeAndGroupBoxes();
    void everyTextFitsItsPlaceInTheWindowFont();
    void controlsAtStartUp();
    void listEntriesAndInitialValues();
    void modeRuleFollowsRadioButtonsAndModeLines();
    void parityRuleFollowsCheckBoxAndLines();
    void flowControlAvailabilityFollowsInterfaceLines();
    void firmwareButtonFollowsFileNameText();
    void fileFieldButtonAndF4OpenTheFirmwareDialog();
    void fileDialogsAreMadeWhenFirstOpenedAndKept();
    void rememberedFileNameFillsTheFieldAtStartUp();
    void nonTextRememberedNameShowsErrorAndLeavesControlsAsBuilt();
    void modelTextChangesOnlyThroughUpdateModelLabel();
    void signalLevelLightsSegments();
};

void MainWindowTest::captionSizeAndGroupBoxes() {
    TestWindow w;
    QCOMPARE(w.form->windowTitle(), QStringLiteral("Рабочее место настройки и поверки модемов Morvasta NKQ"));
    QCOMPARE(nkq::ui::ApplicationTitleText(),
             QStringLiteral("Рабочее место настройки и проверки модемов Morvasta NKQ"));
    QCOMPARE(w.form->size(), QSize(755, 481));
    QCOMPARE(w.form->minimumSize(), w.form->maximumSize());
    QVERIFY(!(w.form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.form->windowFlags() & Qt::WindowMinimizeButtonHint);
    const struct {
        const char* name;
        const char* caption;
        QRect rect;
    } groups[] = {
        {"ModelGroupBox", "Модель", {2, 0, 748, 41}},
        {"ComGroupBox", "Настройки порта данных", {5, 48, 279, 193}},
        {"ModeGroupBox", "Режим работы", {288, 48, 297, 329}},
        {"ConnectGroup", "Подключение к терминалу", {589, 48, 161, 273}},
        {"GPRSGroup", "Настройки GPRS", {5, 248, 279, 129}},
        {"SettingsGroup", "Служебные настройки", {589, 328, 160, 49}},
        {"UpdateGroup", "Обновление внутреннего ПО", {5, 384, 745, 89}},
    };
    for (const auto& group : groups) {
        auto* box = w.Find<QGroupBox>(group.name);
        QCOMPARE(box->title(), QString::fromUtf8(group.caption));
        QCOMPARE(box->geometry(), group.rect);
        // Every control of a group lies inside it.
        for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(box->rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
}

void MainWindowTest::everyTextFitsItsPlaceInTheWindowFont() {
    TestWindow w;
    w.Apply("MODE 0");  // every control enabled that can be
    nkq::ui::TStateForm status(w.form->ComPort(), w.form->Op(), w.form.get());
    nkq::ui::TInformDialog message(nkq::ui::ApplicationTitleText(),
                                   QString::fromUtf8(nkq::messages::kCheckConnection));
    // Run again by CTest on a font setup without Liberation Sans, naming the font it must fall back to.
    const QString expected =
        qEnvironmentVariable("NKQ_TEST_WINDOW_FONT", QString(nkq::ui::kWindowFontFamily));
    QCOMPARE(QFontInfo(w.Find<QLabel>("ModelLabel")->font()).family(), expected);
    QCOMPARE(QFontInfo(status.Memo()->font()).family(), QString(nkq::ui::kFixedFontFamily));
    QStringList misfits;
    for (QWidget* window : std::initializer_list<QWidget*>{w.form.get(), &status, &message}) {
        window->ensurePolished();
        misfits << nkq::ui::testing::TextMisfits(*window);
    }
    misfits << nkq::ui::testing::PlacementMisfits(*w.form) << nkq::ui::testing::PlacementMisfits(status);
    QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join(u'\n')));
}

void MainWindowTest::controlsAtStartUp() {
    TestWindow w;
    for (const char* name : kModeFields) {
        QCOMPARE(w.Find<QWidget>(name)->isEnabled(), IsClientField(QString::fromLatin1(name)));
    }
    QVERIFY(!w.Find<QComboBox>("ParityCombo")->isEnabled());
    QVERIFY(w.Find<QComboBox>("FlowCombo")->isEnabled());
    QVERIFY(!w.Find<QRadioButton>("ModemRadio")->isEnabled());
    QVERIFY(w.Find<QRadioButton>("ClientRadio")->isChecked());
    QCOMPARE(w.Find<QLabel>("ModelLabel")->text(), QStringLiteral("Нет подключения к устройству"));
    QCOMPARE(w.Find<nkq::ui::TLevelMeter>("LevelMeter")->Level(), 0);
    QVERIFY(w.Find<nkq::ui::TProgressBar>("ProgressBar")->isHidden());
    QVERIFY(!w.Find<QPushButton>("WriteFirmwareButton")->isEnabled());
    QVERIFY(!w.Find<QLineEdit>("VersionEdit")->isEnabled());
    for (const char* name : {"ConnectButton", "WriteButton", "LoadButton", "SaveButton", "ComComboBox1"})
        QVERIFY2(w.Find<QWidget>(name)->isEnabled(), name);
    QVERIFY(w.op->Calls().empty());
}

void MainWindowTest::listEntriesAndInitialValues() {
    TestWindow w;
    const struct {
        const char* name;
        QStringList entries;
    } lists[] = {
        {"RateCombo", {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}},
        {"BitsCombo", {"5", "6", "7", "8"}},
        {"ParityCombo", {"Нечет", "Чет", "Маркер (1)", "Пробел (0)"}},
        {"StopCombo", {"1", "2"}},
        {"FlowCombo", {"Нет", "Аппаратное", "XON/XOFF"}},
    };
    for (const auto& list : lists) {
        auto* combo = w.Find<QComboBox>(list.name);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
        QCOMPARE(shown, list.entries);
        QCOMPARE(combo->currentIndex(), 0);
        QVERIFY(!combo->isEditable());
    }
    QCOMPARE(w.Find<QLineEdit>("PortEdit")->text(), QStringLiteral("0"));
    QCOMPARE(w.Find<QLineEdit>("IdleEdit")->text(), QStringLiteral("5"));
    QCOMPARE(w.Find<QLineEdit>("PasswordEdit")->echoMode(), QLineEdit::Normal);
    QCOMPARE(w.Find<QCheckBox>("ParityCheckBox")->text(), QStringLiteral("Использовать четность"));
    QCOMPARE(w.Find<QPushButton>("ShowStateButton")->text(), QStringLiteral("Статус сервера"));
    QCOMPARE(w.Find<QPushButton>("WriteFirmwareButton")->text(), QStringLiteral("Обновить ПО"));
    QCOMPARE(w.Find<QWidget>("RzBmpButton1")->size(), QSize(16, 16));
    QCOMPARE(w.Find<QWidget>("LevelMeter")->toolTip(), QStringLiteral("Уровень сигнала"));
}

void MainWindowTest::modeRuleFollowsRadioButtonsAndModeLines() {
    TestWindow w;
    w.Apply("MODE 2");
    QVERIFY(w.Find<QRadioButton>("ModemRadio")->isChecked());
    for (const char* name : kModeFields) QVERIFY2(!w.Find<QWidget>(name)->isEnabled(), name);

    w.Click("ClientRadio");
    QCOMPARE(w.form->Parameters().GetMode(), nkq::Mode::Client);
    for (const char* name : kModeFields)
        QCOMPARE(w.Find<QWidget>(name)->isEnabled(), IsClientField(QString::fromLatin1(name)));

    w.Click("ModemRadio");  // disabled: the operator cannot choose modem
    QVERIFY(w.Find<QRadioButton>("ClientRadio")->isChecked());

    w.Click("ServerRadio");
    QCOMPARE(w.form->Parameters().GetMode(), nkq::Mode::Server);
    for (const char* name : kModeFields)
        QCOMPARE(w.Find<QWidget>(name)->isEnabled(), !IsClientField(QString::fromLatin1(name)));
    QVERIFY(!w.Find<QRadioButton>("ClientRadio")->isChecked());

    w.Apply("MODE 3");  // leaves the mode, the rule still runs
    QVERIFY(w.Find<QRadioButton>("ServerRadio")->isChecked());
}

void MainWindowTest::parityRuleFollowsCheckBoxAndLines() {
    TestWindow w;
    auto* combo = w.Find<QComboBox>("ParityCombo");
    w.Apply("PARITYSELECT 2");
    w.Click("ParityCheckBox");
    QVERIFY(w.form->Parameters().ParityUsed());
    QVERIFY(combo->isEnabled());
    w.Apply("COMPARITY 0");
    QVERIFY(!w.Find<QCheckBox>("ParityCheckBox")->isChecked());
    QVERIFY(!combo->isEnabled());
    QCOMPARE(combo->currentIndex(), 2);  // kept while disabled
    w.Apply("COMPARITY True");
    QVERIFY(w.Find<QCheckBox>("ParityCheckBox")->isChecked());
    QVERIFY(combo->isEnabled());
}

void MainWindowTest::flowControlAvailabilityFollowsInterfaceLines() {
    TestWindow w;
    auto* flow = w.Find<QComboBox>("FlowCombo");
    w.Apply("COMFC 1\r\nINTERFACE RS485\r\nCOMFC 2");
    QVERIFY(!flow->isEnabled());
    QCOMPARE(flow->currentIndex(), 0);
    w.Apply("INTERFACE RS232\r\nCOMFC 2");
    QVERIFY(flow->isEnabled());
    QCOMPARE(flow->currentIndex(), 2);
    w.Apply("COMBITS 9");
    QCOMPARE(w.Find<QComboBox>("BitsCombo")->currentIndex(), -1);
    QCOMPARE(w.form->Parameters().Fields().BitsCombo.Index(), -1);
}

void MainWindowTest::firmwareButtonFollowsFileNameText() {
    TestWindow w;
    auto* field = w.Find<QLineEdit>("FileNameEdit");
    auto* button = w.Find<QPushButton>("WriteFirmwareButton");
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A);
    QVERIFY(button->isEnabled());
    QTest::keyClick(field, Qt::Key_Backspace);
    QVERIFY(field->text().isEmpty());
    QVERIFY(!button->isEnabled());
}

void MainWindowTest::fileFieldButtonAndF4OpenTheFirmwareDialog() {
    TestWindow w;
    auto* field = w.Find<nkq::ui::TFileNameEdit>("FileNameEdit");
    w.dialogs->Queue(std::nullopt);  // cancelled: nothing changes
    QTest::mouseClick(field->Button(), Qt::LeftButton);
    QVERIFY(field->text().isEmpty());
    w.dialogs->Queue(QStringLiteral("/tmp/образ.mfw"));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_F4);
    QCOMPARE(field->text(), QStringLiteral("/tmp/образ.mfw"));
    QVERIFY(w.Find<QPushButton>("WriteFirmwareButton")->isEnabled());
    QCOMPARE(w.dialogs->Shown(), (std::vector<std::string>{"open firmware", "open firmware"}));
    QCOMPARE(w.names->LoadFileName(), std::string());  // remembered only when an update starts
}

void MainWindowTest::fileDialogsAreMadeWhenFirstOpenedAndKept() {
    QTemporaryDir dir;
    nkq::ui::TMainForm form(
        {std::make_unique<RecordingWindowOperator>(), nullptr, std::make_unique<nkq::MemoryFileNameStore>(),
         NoPorts(dir.path().toStdString()),
         std::make_unique<nkq::journal::WorkJournal>(nkq::journal::ProgramKind::Window, std::nullopt)});
    form.FormCreate();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.findChildren<QFileDialog*>().isEmpty());  // none made at start-up

    // Each dialog as the operator meets it; the first visit moves to `dir`.
    std::vector<QFileDialog*> seen;
    QStringList filters, folders;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen.push_back(dialog);
        filters << dialog->nameFilters().join(u'|');
        folders << dialog->directory().absolutePath();
        dialog->setDirectory(dir.path());
        dialog->reject();
    });
    watcher.start(20);
    const auto click = [&](const char* name) {
        auto* button = form.findChild<QPushButton*>(QString::fromLatin1(name));
        QTest::mouseClick(button, Qt::LeftButton);
    };
    click("SaveButton");
    QCOMPARE(form.findChildren<QFileDialog*>().size(), 1);  // only the one asked for
    click("LoadButton");
    QTest::mouseClick(form.findChild<nkq::ui::TFileNameEdit*>("FileNameEdit")->Button(), Qt::LeftButton);
    click("SaveButton");
    QCOMPARE(seen.size(), std::size_t{4});
    QCOMPARE(seen[3], seen[0]);  // kept, with the folder it was left in
    QCOMPARE(folders[3], QDir(dir.path()).absolutePath());
    QCOMPARE(form.findChildren<QFileDialog*>().size(), 3);
    QCOMPARE(seen[0]->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(seen[0]->defaultSuffix(), QStringLiteral("txt"));
    QVERIFY(seen[0]->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(filters.mid(0, 3),
             (QStringList{"Настройки (*.txt)|Все файлы (*.*)", "Настройки (*.txt)|Все файлы (*.*)",
                          "Файлы программатора (*.mfw)|Все файлы (*.*)"}));
}

void MainWindowTest::rememberedFileNameFillsTheFieldAtStartUp() {
    TestWindow w(std::make_unique<nkq::MemoryFileNameStore>("/srv/images/new.mfw"));
    QCOMPARE(w.Find<QLineEdit>("FileNameEdit")->text(), QStringLiteral("/srv/images/new.mfw"));
    QVERIFY(w.Find<QPushButton>("WriteFirmwareButton")->isEnabled());
}

void MainWindowTest::nonTextRememberedNameShowsErrorAndLeavesControlsAsBuilt() {
    QTemporaryDir dir;
    const std::string settings = dir.filePath("Orvenik.conf").toStdString();
    std::ofstream(settings) << "[General]\nFileName=@ByteArray(/tmp/a.mfw)\n";
    TestWindow w(std::make_unique<nkq::QSettingsFileNameStore>(settings));
    QCOMPARE(w.op->Errors(), std::vector<std::string>{"Invalid data type for 'FileName'"});
    QVERIFY(w.Find<QLineEdit>("FileNameEdit")->text().isEmpty());
    QVERIFY(!w.Find<QPushButton>("WriteFirmwareButton")->isEnabled());
    QVERIFY(w.Find<QComboBox>("ParityCombo")->isEnabled());
    for (const char* name : kModeFields) QVERIFY2(w.Find<QWidget>(name)->isEnabled(), name);
    QCOMPARE(w.Find<QLabel>("ModelLabel")->text(), QStringLiteral("ModelLabel"));
    QVERIFY(w.form->Parameters().NameText().empty());

    // The rules take effect at their next run.
    w.Click("ClientRadio");
    QVERIFY(!w.Find<QWidget>("IncomePortEdit")->isEnabled());
    QVERIFY(!w.Find<QWidget>("ShowStateButton")->isEnabled());
    w.Click("ParityCheckBox");
    w.Click("ParityCheckBox");
    QVERIFY(!w.Find<QComboBox>("ParityCombo")->isEnabled());
}

void MainWindowTest::modelTextChangesOnlyThroughUpdateModelLabel() {
    TestWindow w;
    auto* label = w.Find<QLabel>("ModelLabel");
    w.Apply("DEVICE -USB");
    QCOMPARE(label->text(), QStringLiteral("Нет подключения к устройству"));
    w.form->Parameters().UpdateModelLabel();
    QCOMPARE(label->text(), QStringLiteral("Нет подключения к устройству-USB"));
    w.Apply("NAME Модем ");
    QCOMPARE(label->text(), QStringLiteral("Нет подключения к устройству-USB"));
    w.form->Parameters().UpdateModelLabel();
    QCOMPARE(label->text(), QStringLiteral("Модем -USB"));
}

void MainWindowTest::signalLevelLightsSegments() {
    TestWindow w;
    auto* meter = w.Find<nkq::ui::TLevelMeter>("LevelMeter");
    w.Apply("CSQ 10,0");
    QCOMPARE(meter->Level(), 3);
    w.Apply("APN x");  // a reply without CSQ leaves the level
    QCOMPARE(meter->Level(), 3);
    const QImage image = meter->grab().toImage();
    const auto lit = [&](int segment) {
        const QRect box = meter->SegmentShape(segment).boundingRect();
        const QPoint inside(box.center().x(), box.bottom() - 2);
        return image.pixelColor(inside * meter->devicePixelRatioF()) == nkq::ui::TLevelMeter::LitColor();
    };
    QVERIFY(lit(0) && lit(1) && lit(2));
    QVERIFY(!lit(3) && !lit(4));
}

NKQ_UI_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
