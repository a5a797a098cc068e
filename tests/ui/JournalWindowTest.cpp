// The work journal seen from the window: a journal that cannot be written is
// told once, after the operation's own message; Ctrl+J opens the journal
// window, which lists, filters and exports without writing to the journal.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "UiTestSupport.h"
#include "journal/JournalFile.h"
#include "ui/TJournalForm.h"

using namespace nkq::ui;
using namespace nkq::ui::testing;

namespace {

const std::string kBadLine = "'x' is not a valid integer value.";

// A settings file the load button can take, or one it fails on.
QString SettingsFile(const TestWindow& w, const char* name, const char* lines) {
    const QString path = w.dir.filePath(QString::fromLatin1(name));
    std::ofstream(path.toStdString(), std::ios::binary) << lines;
    return path;
}

void Load(TestWindow& w, const QString& path) {
    w.dialogs->Queue(path);
    w.Click("LoadButton");
}

}  // namespace

class JournalWindowTest : public QObject {
    Q_OBJECT
private slots:
    void unwritableJournalIsToldOnceAfterTheOperationsMessage();
    void journalWindowListsNewestFirstFiltersAndExportsWhatItShows();
};

void JournalWindowTest::unwritableJournalIsToldOnceAfterTheOperationsMessage() {
    TestWindow w;
    std::filesystem::create_directories(w.JournalPath());  // a folder where the file should be
    Load(w, SettingsFile(w, "bad.txt", "APN first\r\nCOMBITS x\r\n"));
    Load(w, SettingsFile(w, "good.txt", "APN second\r\n"));
    const auto& calls = w.op->Calls();
    QCOMPARE(calls.size(), std::size_t{2});
    QCOMPARE(calls[0], "error: " + kBadLine);
    const std::string told = "inform: Журнал работ недоступен: ";
    QVERIFY2(calls[1].rfind(told, 0) == 0 && calls[1].size() > told.size(), calls[1].c_str());
    QVERIFY2(calls[1].find(w.JournalPath().string()) != std::string::npos, calls[1].c_str());  // the reason
    QCOMPARE(w.Find<QLineEdit>("APNEdit")->text(), QStringLiteral("second"));  // results as they were
}

void JournalWindowTest::journalWindowListsNewestFirstFiltersAndExportsWhatItShows() {
    TestWindow w;
    w.dialogs->Queue(w.dir.filePath(QStringLiteral("saved.txt")));
    w.Click("SaveButton");
    Load(w, SettingsFile(w, "bad.txt", "COMBITS x\r\n"));
    Load(w, SettingsFile(w, "good.txt", "APN internet\r\n"));

    QTest::keyClick(w.form->windowHandle(), Qt::Key_J, Qt::ControlModifier);
    auto* journal = w.form->findChild<TJournalForm*>();
    QVERIFY(journal && journal->isVisible());
    QCOMPARE(journal->windowTitle(), QStringLiteral("Журнал работ"));
    auto* list = journal->findChild<QTreeWidget*>(QStringLiteral("JournalList"));
    const auto row = [&](int index) {
        QStringList texts;
        for (int column = 0; column < list->columnCount(); ++column)
            texts << list->topLevelItem(index)->text(column);
        return texts;
    };
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(row(0).mid(2, 1), QStringList{"Загрузка из файла"});
    QCOMPARE(row(0)[4], QStringLiteral("успешно"));
    QCOMPARE(row(1).mid(4), (QStringList{"ошибка", QString::fromStdString(kBadLine)}));
    QCOMPARE(row(2)[2], QStringLiteral("Запись в файл"));
    QCOMPARE(row(2)[1], QString::fromStdString(w.form->ComPort().Port()));

    QTest::mouseClick(journal->findChild<QCheckBox*>(QStringLiteral("FailedOnlyCheckBox")), Qt::LeftButton);
    QCOMPARE(list->topLevelItemCount(), 1);
    const QString csv = w.dir.filePath(QStringLiteral("journal"));
    w.dialogs->Queue(csv);
    QTest::mouseClick(journal->findChild<QPushButton*>(QStringLiteral("ExportButton")), Qt::LeftButton);
    QFile exported(csv);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(exported.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);  // the heading and the one row shown
    QVERIFY2(lines[1].contains(QStringLiteral(",load,failed,")), qPrintable(lines[1]));

    // Reading, filtering and exporting wrote nothing to the journal.
    QCOMPARE(nkq::journal::ReadJournal(w.JournalPath()).size(), std::size_t{3});
}

NKQ_UI_TEST_MAIN(JournalWindowTest)
#include "JournalWindowTest.moc"
