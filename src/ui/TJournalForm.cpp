#include "ui/TJournalForm.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <sstream>

#include "app/FileBytes.h"
#include "journal/JournalFile.h"
#include "journal/JournalFormats.h"
#include "ui/EnterPressesButton.h"
#include "ui/JournalTexts.h"
#include "ui/TApplication.h"
#include "ui/WindowFonts.h"

namespace nkq::ui {

namespace {

using journal::OperationKind;
using journal::OperationRecord;
using journal::Outcome;

const char* OperationText(OperationKind operation) {
    switch (operation) {
        case OperationKind::Read:
            return "Считывание параметров";
        case OperationKind::Write:
            return "Запись параметров";
        case OperationKind::Verify:
            return "Проверка параметров";
        case OperationKind::Load:
            return "Загрузка из файла";
        case OperationKind::Save:
            return "Запись в файл";
        case OperationKind::Flash:
            return "Обновление ПО";
        case OperationKind::Status:
            return "Статус сервера";
    }
    return "";
}

const char* OutcomeText(Outcome result) {
    switch (result) {
        case Outcome::Succeeded:
            return "успешно";
        case Outcome::Failed:
            return "ошибка";
        case Outcome::Stopped:
            return "прервано";
    }
    return "";
}

// The journal keeps UTC; the technician reads the desk's own clock.
QString LocalTime(journal::TimePoint time) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(ms).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString MessagesText(const OperationRecord& record, const QString& between) {
    QStringList texts;
    for (const auto& message : record.Messages) texts << QString::fromStdString(message.Text);
    return texts.join(between);
}

constexpr const char* kColumns[] = {"Время", "Порт", "Операция", "Модель", "Результат", "Сообщение"};

}  // namespace

QStringList JournalRowTexts(const OperationRecord& record) {
    return {LocalTime(record.Started),
            QString::fromStdString(record.Port),
            QString::fromUtf8(OperationText(record.Operation)),
            QString::fromStdString(record.Modem.Name + record.Modem.Device),
            QString::fromUtf8(OutcomeText(record.Result)),
            MessagesText(record, QStringLiteral("; "))};
}

TJournalForm::TJournalForm(std::optional<std::filesystem::path> journal,
                           std::function<std::optional<QString>()> choose_csv, QWidget* parent)
    : QDialog(parent),
      journal_(std::move(journal)),
      choose_csv_(std::move(choose_csv)),
      JournalList(new QTreeWidget(this)),
      FailedOnlyCheckBox(new QCheckBox(QStringLiteral("Только неудачные"), this)),
      StateLabel(new QLabel(this)),
      RefreshButton(new QPushButton(QStringLiteral("Обновить"), this)),
      ExportButton(new QPushButton(QStringLiteral("Сохранить в CSV..."), this)),
      CloseButton(new QPushButton(QStringLiteral("Закрыть"), this)) {
    setObjectName(QStringLiteral("JournalForm"));
    setWindowTitle(QString::fromUtf8(kJournalCaption));
    setFont(WindowFont());
    setFixedSize(760, 400);

    JournalList->setObjectName(QStringLiteral("JournalList"));
    JournalList->setGeometry(8, 8, 744, 348);
    JournalList->setRootIsDecorated(false);
    JournalList->setUniformRowHeights(true);
    JournalList->setAllColumnsShowFocus(true);
    JournalList->setAccessibleName(QString::fromUtf8(kJournalCaption));
    QStringList headings;
    for (const char* column : kColumns) headings << QString::fromUtf8(column);
    JournalList->setHeaderLabels(headings);
    const int widths[] = {118, 90, 140, 130, 62};
    for (int column = 0; column < 5; ++column) JournalList->setColumnWidth(column, widths[column]);

    FailedOnlyCheckBox->setObjectName(QStringLiteral("FailedOnlyCheckBox"));
    FailedOnlyCheckBox->setGeometry(8, 366, 120, 25);
    StateLabel->setObjectName(QStringLiteral("StateLabel"));
    StateLabel->setGeometry(132, 366, 270, 25);
    StateLabel->setTextFormat(Qt::PlainText);
    RefreshButton->setObjectName(QStringLiteral("RefreshButton"));
    RefreshButton->setGeometry(408, 366, 100, 25);
    ExportButton->setObjectName(QStringLiteral("ExportButton"));
    ExportButton->setGeometry(514, 366, 140, 25);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(660, 366, 92, 25);
    for (QPushButton* button : {RefreshButton, ExportButton, CloseButton}) {
        button->setAutoDefault(false);
        PressWithEnter(*button);
    }

    connect(FailedOnlyCheckBox, &QCheckBox::toggled, this, &TJournalForm::Reload);
    connect(RefreshButton, &QPushButton::clicked, this, &TJournalForm::Reload);
    connect(ExportButton, &QPushButton::clicked, this,
            [this] { TApplication::Guarded([this] { ExportCsv(); }); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this, &TJournalForm::Reload);
}

void TJournalForm::Reload() {
    shown_.clear();
    JournalList->clear();
    if (!journal_) {
        StateLabel->setText(QString::fromUtf8(kJournalOff));
        return;
    }
    journal::JournalFilter filter;
    filter.FailedOnly = FailedOnlyCheckBox->isChecked();
    try {
        shown_ = journal::ReadJournal(*journal_, filter);
    } catch (const std::exception& failure) {
        StateLabel->setText(QString::fromUtf8(kJournalUnavailable) + QString::fromUtf8(failure.what()));
        return;
    }
    for (const OperationRecord& record : shown_) {
        auto* row = new QTreeWidgetItem(JournalList, JournalRowTexts(record));
        row->setToolTip(5, MessagesText(record, QStringLiteral("\n")));
    }
    StateLabel->setText(QStringLiteral("Записей: %1").arg(shown_.size()));
}

void TJournalForm::ExportCsv() {
    const auto path = choose_csv_();
    if (!path) return;
    std::ostringstream csv;
    journal::WriteJournalCsv(csv, shown_);
    ReplaceFile(QFile::encodeName(*path).toStdString(), csv.str());
}

}  // namespace nkq::ui
