#include "monitor/frmZR410_About.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "TempFolder.h"

using namespace zr410;

namespace {

class AboutBox : public frmZR410_About {
public:
    QStringList opened;

protected:
    bool OpenHomePage(const QString& address) override {
        opened << address;
        return true;
    }
};

}  // namespace

TEST(AboutBox, ShowsPictureVersionTextAndHomePage) {
    AboutBox about;
    EXPECT_EQ(about.windowTitle(), "대하여");
    EXPECT_FALSE(about.findChild<QLabel*>("picLogo")->pixmap().isNull());
    EXPECT_EQ(about.findChild<QLabel*>("lblInfo")->text(),
              "이 프로그램은 버전1.0.0으로 수정, 보완되는 버전은 홈페이지를 통해 확인할 수 "
              "있습니다.");
    EXPECT_TRUE(
        about.findChild<QLabel*>("lblHomePage")->text().contains(frmZR410_About::kHomePage));
    EXPECT_EQ(about.findChild<QPushButton*>("btnClose")->text(), "닫기[&C]");
    EXPECT_EQ(WidgetsWithoutAccessibleName(about), QStringList());
}

TEST(AboutBox, SaysWhereTheSettingsAndTheLogAreKept) {
    TempProgramFolder folder;
    AboutBox about;
    const auto* label = about.findChild<QLabel*>("lblFolders");
    EXPECT_TRUE(label->text().contains(folder.path())) << label->text().toStdString();
    EXPECT_EQ(label->accessibleDescription(), label->text());
}

TEST(AboutBox, ClickingTheHomePageOpensThatAddress) {
    AboutBox about;
    emit about.findChild<QLabel*>("lblHomePage")->linkActivated(frmZR410_About::kHomePage);
    EXPECT_EQ(about.opened, QStringList{"https://www.example.com/zr410"});
}

TEST(AboutBox, CloseButtonClosesIt) {
    AboutBox about;
    about.show();
    about.findChild<QPushButton*>("btnClose")->click();
    EXPECT_FALSE(about.isVisible());
}
