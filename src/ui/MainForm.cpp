// Building the main window: one builder per group box, every control at a
// fixed pixel position, so the window looks the same on every desktop.
#include "ui/MainForm.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QToolButton>
#include <type_traits>

#include "serial/ComSelectorModel.h"
#include "ui/ApplicationTitle.h"
#include "ui/EnterPressesButton.h"
#include "ui/ModelText.h"
#include "ui/QSettingsFileNameStore.h"
#include "ui/TApplication.h"
#include "ui/TComComboBox.h"
#include "ui/TFieldCombo.h"
#include "ui/TFieldEdit.h"
#include "ui/TFileNameEdit.h"
#include "ui/TIpAddressEdit.h"
#include "ui/TLevelMeter.h"
#include "ui/TNumericEdit.h"
#include "ui/TProgressBar.h"
#include "ui/TRefreshButton.h"
#include "ui/WindowFonts.h"

namespace nkq::ui {

namespace {

constexpr int kRowHeight = 21;
constexpr int kButtonHeight = 25;
constexpr int kLabelGap = 4;  // between a label's rectangle and its field

template <typename W>
W* Place(W* widget, const char* name, int x, int y, int width, int height = kRowHeight) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

// A label in a fixed rectangle from `x` to just before `field_x`, centred on
// the row of the field beside it; its text must fit the rectangle.
QLabel* AddLabel(QWidget* parent, const char* text, int x, int y, int field_x, int height = kRowHeight) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setGeometry(x, y, field_x - kLabelGap - x, height);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

// What a screen reader calls a field: its label without the colon.
QString FieldName(const QLabel& label) {
    QString name = label.text();
    if (name.endsWith(u':')) name.chop(1);
    return name;
}

// Ties a label to its field, so a screen reader names the field after it.
template <typename W>
W* Labelled(QLabel* label, W* field) {
    label->setBuddy(field);
    if constexpr (std::is_same_v<W, TIpAddressEdit>) {
        field->SetAccessibleName(FieldName(*label));
    } else {
        field->setAccessibleName(FieldName(*label));
    }
    return field;
}

QGroupBox* AddGroup(QWidget* parent, const char* name, const char* caption, QRect rect) {
    auto* group = new QGroupBox(QString::fromUtf8(caption), parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(rect);
    return group;
}

void AddSeparator(QWidget* parent, int y) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, y, parent->width() - 16, 2);
}

// Every mode button is a Tab stop of its own. Qt keeps only the one of a
// group that last had the focus in the Tab chain, and a technician working by
// keyboard would not find "Сервер" with Tab.
class TabStopRadio : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void focusInEvent(QFocusEvent* event) override {
        QRadioButton::focusInEvent(event);
        for (auto* radio : parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
            radio->setFocusPolicy(Qt::StrongFocus);
    }
};

QRadioButton* AddRadio(QWidget* parent, const char* name, const char* text, int y) {
    auto* radio = Place(new TabStopRadio(QString::fromUtf8(text), parent), name, 8, y, 120, 17);
    radio->setFocusPolicy(Qt::StrongFocus);
    return radio;
}

}  // namespace

TMainForm::TMainForm(MainFormParts parts)
    : op_(parts.op ? std::move(parts.op) : std::make_unique<WindowOperator>()),
      dialogs_(parts.dialogs ? std::move(parts.dialogs) : std::make_unique<QtFileDialogs>(this)),
      file_names_(parts.file_names ? std::move(parts.file_names) : UserFileNameStore()),
      journal_(parts.journal ? std::move(parts.journal)
                             : std::make_unique<journal::WorkJournal>(journal::ProgramKind::Window)),
      port_roots_(std::move(parts.port_roots)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(kMainWindowCaption));
    // The fixed-size hint gives the thin border of a window that cannot be
    // resized on Windows; other desktops go by the fixed size alone.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(755, 481);
    setFont(WindowFont());
    TApplication::SetErrorOperator(op_.get());

    BuildModelGroup();
    BuildComGroup();
    BuildModeGroup();
    BuildConnectGroup();
    BuildGprsGroup();
    BuildSettingsGroup();
    BuildUpdateGroup();
    op_->SetProgressBar(ProgressBar);
    auto* journal_keys = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_J), this);
    connect(journal_keys, &QShortcut::activated, this,
            [this] { TApplication::Guarded([this] { ShowJournal(); }); });
    ApplyBusyState();
    parameters_.SetListener([this](Item item, ChangeKind) { Mirror(item); });
}

TMainForm::~TMainForm() {
    parameters_.SetListener({});
    if (TApplication::ErrorOperator() == op_.get()) TApplication::SetErrorOperator(nullptr);
}

template <typename Handler>
void TMainForm::OnClick(QPushButton* button, Handler handler) {
    connect(button, &QPushButton::clicked, this,
            [this, handler] { TApplication::Guarded([this, handler] { (this->*handler)(); }); });
}

QPushButton* TMainForm::AddButton(QWidget* parent, const char* name, const char* text, int y) {
    auto* button = Place(new QPushButton(QString::fromUtf8(text), parent), name, 20, y, 121, kButtonHeight);
    // Taking the focus on a click makes an edited numeric field leave first.
    button->setFocusPolicy(Qt::StrongFocus);
    PressWithEnter(*button);
    return button;
}

void TMainForm::BuildModelGroup() {
    QGroupBox* group = AddGroup(this, "ModelGroupBox", "Модель", QRect(2, 0, 748, 41));
    LevelMeter = Place(new TLevelMeter(group), "LevelMeter", 8, 12, 57, 25);
    LevelMeter->setAccessibleName(LevelMeter->toolTip());
    ModelLabel = Place(new QLabel(group), "ModelLabel", 68, 16, 675, 18);
    ModelLabel->setAlignment(Qt::AlignCenter);
    ModelLabel->setTextFormat(Qt::PlainText);
    ModelLabel->setText(FromModel(parameters_.ModelText()));
    mirrors_[Item::LevelMeter] = [this] { LevelMeter->SetLevel(parameters_.Level()); };
    mirrors_[Item::ModelLabel] = [this] { ModelLabel->setText(FromModel(parameters_.ModelText())); };
}

void TMainForm::BuildComGroup() {
    QGroupBox* group = AddGroup(this, "ComGroupBox", "Настройки порта данных", QRect(5, 48, 279, 193));
    ParameterFields& fields = parameters_.Fields();
    auto combo = [&](ComboField& field, Item item, const char* name, const char* label, int y) {
        auto* control = Labelled(AddLabel(group, label, 8, y, 142),
                                 Place(new TFieldCombo(field, group), name, 142, y, 129));
        mirrors_[item] = [control] { control->Mirror(); };
        return control;
    };
    combo(fields.RateCombo, Item::RateCombo, "RateCombo", "Скорость (бит\\сек):", 24);
    combo(fields.BitsCombo, Item::BitsCombo, "BitsCombo", "Биты данных:", 58);
    ParityCheckBox = Place(new QCheckBox(QStringLiteral("Использовать четность"), group), "ParityCheckBox", 8,
                           94, 146, 17);
    ParityCheckBox->setLayoutDirection(Qt::RightToLeft);  // caption at the left of the box
    ParityCheckBox->setFocusPolicy(Qt::StrongFocus);
    connect(ParityCheckBox, &QCheckBox::clicked, this,
            [this] { TApplication::Guarded([this] { ParityCheckBoxClick(); }); });
    mirrors_[Item::ParityCheckBox] = [this] { ParityCheckBox->setChecked(parameters_.ParityUsed()); };
    auto* parity = Place(new TFieldCombo(fields.ParityCombo, group), "ParityCombo", 158, 92, 113);
    parity->setAccessibleName(QStringLiteral("Четность"));
    mirrors_[Item::ParityCombo] = [parity] { parity->Mirror(); };
    combo(fields.StopCombo, Item::StopCombo, "StopCombo", "Стоповые биты:", 126);
    FlowCombo = combo(fields.FlowCombo, Item::FlowCombo, "FlowCombo", "Управление потоком:", 160);
}

void TMainForm::BuildModeGroup() {
    QGroupBox* group = AddGroup(this, "ModeGroupBox", "Режим работы", QRect(288, 48, 297, 329));
    ModemRadio = AddRadio(group, "ModemRadio", "Модем", 18);
    ModemRadio->setEnabled(false);  // only a MODE line selects it
    AddSeparator(group, 40);
    ClientRadio = AddRadio(group, "ClientRadio", "Клиент", 48);
    ClientRadio->setChecked(true);
    BuildModeAddressRows(group);
    for (QRadioButton* radio : {ModemRadio, ClientRadio, ServerRadio}) {
        connect(radio, &QRadioButton::clicked, this,
                [this] { TApplication::Guarded([this] { ClientRadioClick(); }); });
    }
    for (Item item : {Item::ModemRadio, Item::ClientRadio, Item::ServerRadio})
        mirrors_[item] = [this] { MirrorRadios(); };
    mirrors_[Item::ShowStateButton] = [this] { ApplyBusyState(); };
    BuildCheckRows(group);
}

void TMainForm::BuildModeAddressRows(QGroupBox* group) {
    ParameterFields& fields = parameters_.Fields();
    auto* address = Labelled(AddLabel(group, "IP адрес сервера:", 24, 70, 138),
                             Place(new TIpAddressEdit(fields.IPAddrEdit, group), "IPAddrEdit", 138, 70, 150));
    auto* port = Labelled(AddLabel(group, "Порт на сервере:", 24, 96, 138),
                          Place(new TNumericEdit(fields.PortEdit, TNumericEdit::StepButtons::None, group),
                                "PortEdit", 138, 96, 41));
    AddSeparator(group, 124);
    ServerRadio = AddRadio(group, "ServerRadio", "Сервер", 132);
    auto* income =
        Labelled(AddLabel(group, "Входящий порт:", 24, 154, 138),
                 Place(new TNumericEdit(fields.IncomePortEdit, TNumericEdit::StepButtons::None, group),
                       "IncomePortEdit", 138, 154, 41));
    mirrors_[Item::IPAddrEdit] = [address] { address->Mirror(); };
    mirrors_[Item::PortEdit] = [port] { port->Mirror(); };
    mirrors_[Item::IncomePortEdit] = [income] { income->Mirror(); };
}

void TMainForm::BuildCheckRows(QGroupBox* group) {
    ParameterFields& fields = parameters_.Fields();
    AddLabel(group, "Контроль TCP/IP соединения", 8, 179, group->width() - 8 + kLabelGap);
    for (std::size_t pair = 0; pair < kCheckPairs; ++pair) {
        const int y = 204 + 24 * static_cast<int>(pair);
        const QByteArray number = QByteArray::number(static_cast<int>(pair) + 1);
        QLabel* label = AddLabel(group, ("IP/порт " + number + ":").constData(), 8, y, 80);
        auto* address = Place(new TIpAddressEdit(fields.IPAddr[pair], group), ("IPAddr" + number).constData(),
                              80, y, 150);
        // One label for the address and the port: each gets a name of its own.
        label->setBuddy(address);
        address->SetAccessibleName(QStringLiteral("IP адрес ") + QString::fromLatin1(number));
        auto* colon = Place(new QLabel(QStringLiteral(":"), group), "", 232, y - 2, 10, 21);
        colon->setFont(ColonFont());
        auto* port = Place(new TNumericEdit(fields.Port[pair], TNumericEdit::StepButtons::None, group),
                           ("Port" + number).constData(), 244, y, 41);
        port->setAccessibleName(QStringLiteral("Порт ") + QString::fromLatin1(number));
        mirrors_[CheckAddressItem(pair)] = [address] { address->Mirror(); };
        mirrors_[CheckPortItem(pair)] = [port] { port->Mirror(); };
    }
}

void TMainForm::BuildConnectGroup() {
    QGroupBox* group = AddGroup(this, "ConnectGroup", "Подключение к терминалу", QRect(589, 48, 161, 273));
    ComComboBox1 = Labelled(AddLabel(group, "Выберите COM-порт:", 20, 16, group->width() - 8 + kLabelGap, 18),
                            Place(new TComComboBox(port_roots_, group), "ComComboBox1", 20, 36, 107));
    ComComboBox1->SetFailureHandler(
        [](const std::exception& failure) { TApplication::ReportFailure(failure); });
    LoadSystemSelector(ComComboBox1->Selector(), com_port_);
    RzBmpButton1 = Place(new TRefreshButton(group), "RzBmpButton1", 131, 38, 16, 16);
    PressWithEnter(*RzBmpButton1);
    connect(RzBmpButton1, &TRefreshButton::clicked, this,
            [this] { TApplication::Guarded([this] { SpeedButton1Click(); }); });
    // F5 in the list refreshes it too, as in the desktop's own lists.
    auto* refresh_keys = new QShortcut(QKeySequence(Qt::Key_F5), ComComboBox1);
    refresh_keys->setContext(Qt::WidgetWithChildrenShortcut);
    connect(refresh_keys, &QShortcut::activated, this,
            [this] { TApplication::Guarded([this] { SpeedButton1Click(); }); });
    ConnectButton = AddButton(group, "ConnectButton", "Считать параметры", 72);
    WriteButton = AddButton(group, "WriteButton", "Записать параметры", 108);
    LoadButton = AddButton(group, "LoadButton", "Загрузить из файла", 144);
    SaveButton = AddButton(group, "SaveButton", "Записать в файл", 180);
    ShowStateButton = AddButton(group, "ShowStateButton", "Статус сервера", 216);
    OnClick(ConnectButton, &TMainForm::ConnectButtonClick);
    OnClick(WriteButton, &TMainForm::WriteButtonClick);
    OnClick(LoadButton, &TMainForm::N2Click);
    OnClick(SaveButton, &TMainForm::N3Click);
    OnClick(ShowStateButton, &TMainForm::ShowStateButtonClick);
}

void TMainForm::BuildGprsGroup() {
    QGroupBox* group = AddGroup(this, "GPRSGroup", "Настройки GPRS", QRect(5, 248, 279, 129));
    ParameterFields& fields = parameters_.Fields();
    auto edit = [&](TextField& field, Item item, const char* name, const char* label, int y, int width) {
        auto* control = Labelled(AddLabel(group, label, 8, y, 54),
                                 Place(new TFieldEdit(field, group), name, 54, y, width));
        mirrors_[item] = [control] { control->Mirror(); };
    };
    edit(fields.APNEdit, Item::APNEdit, "APNEdit", "APN:", 24, 217);
    edit(fields.LoginEdit, Item::LoginEdit, "LoginEdit", "Логин:", 58, 121);
    edit(fields.PasswordEdit, Item::PasswordEdit, "PasswordEdit", "Пароль:", 92, 121);
}

void TMainForm::BuildSettingsGroup() {
    QGroupBox* group = AddGroup(this, "SettingsGroup", "Служебные настройки", QRect(589, 328, 160, 49));
    // From the frame's inside: Windows' Arial at 8 points needs all of it.
    auto* idle = Labelled(
        AddLabel(group, "RECONNECT (мин)", 2, 18, 108),
        Place(new TNumericEdit(parameters_.Fields().IdleEdit, TNumericEdit::StepButtons::UpDown, group),
              "IdleEdit", 108, 18, 47));
    mirrors_[Item::IdleEdit] = [idle] { idle->Mirror(); };
}

void TMainForm::BuildUpdateGroup() {
    QGroupBox* group = AddGroup(this, "UpdateGroup", "Обновление внутреннего ПО", QRect(5, 384, 745, 89));
    FileNameEdit = Labelled(AddLabel(group, "Выберите файл:", 8, 22, 190),
                            Place(new TFileNameEdit(group), "FileNameEdit", 190, 22, 329));
    connect(FileNameEdit, &TFileNameEdit::ButtonClicked, this,
            [this] { TApplication::Guarded([this] { FileNameEditButtonClick(); }); });
    connect(FileNameEdit, &QLineEdit::textChanged, this,
            [this] { TApplication::Guarded([this] { FileNameEditChange(); }); });
    WriteFirmwareButton = Place(new QPushButton(QStringLiteral("Обновить ПО"), group), "WriteFirmwareButton",
                                527, 20, 209, kButtonHeight);
    WriteFirmwareButton->setFocusPolicy(Qt::StrongFocus);
    PressWithEnter(*WriteFirmwareButton);
    OnClick(WriteFirmwareButton, &TMainForm::WriteFirmwareButtonClick);
    EnableFirmwareButton(false);
    auto* version =
        Labelled(AddLabel(group, "Текущая версия внутреннего ПО:", 8, 54, 190),
                 Place(new TFieldEdit(parameters_.Fields().VersionEdit, group), "VersionEdit", 190, 54, 327));
    mirrors_[Item::VersionEdit] = [version] { version->Mirror(); };
    ProgressBar = Place(new TProgressBar(group), "ProgressBar", 527, 56, 209, 17);
    ProgressBar->setAccessibleName(QStringLiteral("Ход обновления ПО"));
    ProgressBar->hide();
}

}  // namespace nkq::ui
