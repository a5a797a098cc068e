// The remembered file name in a real settings file in a temporary folder.
#include <gtest/gtest.h>

#include <QPoint>
#include <QSettings>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TestFiles.h"
#include "app/Failure.h"
#include "ui/QSettingsFileNameStore.h"

namespace nkq {
namespace {

namespace fs = std::filesystem;

class QSettingsFileNameStoreTest : public ::testing::Test {
protected:
    // Writes the value as another program (or an older workstation) might have.
    void StoreRaw(const QVariant& value) {
        QSettings raw(QString::fromStdString(file), QSettings::IniFormat);
        raw.setValue("FileName", value);
        raw.sync();
        ASSERT_EQ(raw.status(), QSettings::NoError);
    }

    template <typename Call>
    std::string FailureOf(Call&& call) {
        try {
            call();
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.KindName(), "ERegistryException");
            return e.Message();
        }
        return "no failure";
    }

    testing::TempFolder dir{"store"};
    std::string file = (dir / "Orvenik.conf").string();
};

TEST_F(QSettingsFileNameStoreTest, ANameSavedIsLoadedByTheNextStore) {
    for (const std::string name :
         {"/home/tech/firmware/nkq-2.14.mfw", "/tmp/прошивка v2.mfw", "C:\\\\Прошивки\\\\a b.mfw", ""}) {
        SCOPED_TRACE(name);
        QSettingsFileNameStore(file).SaveFileName(name);
        EXPECT_EQ(QSettingsFileNameStore(file).LoadFileName(), name);
    }
}

TEST_F(QSettingsFileNameStoreTest, TheValueIsTextUnderItsOwnName) {
    QSettingsFileNameStore(file).SaveFileName("/opt/image.mfw");
    QSettings raw(QString::fromStdString(file), QSettings::IniFormat);
    EXPECT_EQ(raw.allKeys(), QStringList{"FileName"});
    EXPECT_EQ(raw.value("FileName").typeId(), QMetaType::QString);
    EXPECT_EQ(raw.value("FileName").toString(), "/opt/image.mfw");
}

TEST_F(QSettingsFileNameStoreTest, AMissingValueOrStoreLoadsAsEmptyAndCreatesNothing) {
    EXPECT_EQ(QSettingsFileNameStore(file).LoadFileName(), "");
    EXPECT_FALSE(fs::exists(file));
    std::ofstream(file) << "[General]\nOther=1\n";
    EXPECT_EQ(QSettingsFileNameStore(file).LoadFileName(), "");
}

TEST_F(QSettingsFileNameStoreTest, AValueOfAnotherTypeIsRefused) {
    for (const QVariant& value :
         {QVariant(QStringList{"a.mfw", "b.mfw"}), QVariant(QByteArray("a.mfw")), QVariant(QPoint(1, 2))}) {
        SCOPED_TRACE(value.typeName());
        StoreRaw(value);
        EXPECT_EQ(FailureOf([&] { QSettingsFileNameStore(file).LoadFileName(); }),
                  "Invalid data type for 'FileName'");
    }
}

TEST_F(QSettingsFileNameStoreTest, AStoreThatCannotBeReadOrWrittenFails) {
    // A folder where the file should be cannot be read as settings or
    // replaced by them, whoever runs the test.
    fs::create_directories(file);
    EXPECT_EQ(FailureOf([&] { QSettingsFileNameStore(file).LoadFileName(); }),
              "Failed to get data for 'FileName'");
    EXPECT_EQ(FailureOf([&] { QSettingsFileNameStore(file).SaveFileName("/a.mfw"); }),
              "Failed to set data for 'FileName'");
    // A file where the folder should be.
    const std::string under_file = file + "x/Orvenik.conf";
    std::ofstream(file + "x") << "";
    EXPECT_EQ(FailureOf([&] { QSettingsFileNameStore(under_file).SaveFileName("/a.mfw"); }),
              "Failed to set data for 'FileName'");
}

TEST_F(QSettingsFileNameStoreTest, TheUsersStoreIsTheOrganisationsFileInTheConfigurationFolder) {
    // Set before the first QSettings of this process, which reads it once.
    ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    QSettingsFileNameStore store;
    EXPECT_EQ(store.Location(), (dir / "Orvenik.conf").string());
    store.SaveFileName("/srv/image.mfw");
    EXPECT_EQ(QSettingsFileNameStore(file).LoadFileName(), "/srv/image.mfw");
}

}  // namespace
}  // namespace nkq
