#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "AboutBox.h"
#include "fake_platform.h"
#include "form/form.h"

namespace {

TEST(AboutBox, HasItsFixedSizeTitleAndVersionLine) {
  tw::testing::FakePlatform platform;
  AboutBox box(platform, QFont());
  EXPECT_EQ(box.size(), QSize(394, 275));
  EXPECT_EQ(box.minimumSize(), box.maximumSize());
  EXPECT_EQ(box.windowTitle(), QStringLiteral("About Quelmark Tallyweave"));
  EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
            QStringLiteral("Quelmark Tallyweave"));
  EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Label2"))->text().toStdString(),
            tw::TSDIAppForm::AboutVersionLine());
  EXPECT_TRUE(box.findChild<QPushButton*>(QStringLiteral("OKButton"))->isDefault());
  EXPECT_FALSE(box.isVisible()) << "created hidden";
  box.setDatabaseLine(QStringLiteral("Location database: GeoLite2-City, 2024-05-03"));
  EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("DatabaseLabel"))->text(),
            QStringLiteral("Location database: GeoLite2-City, 2024-05-03"));
}

TEST(AboutBox, LinksOpenTheirOwnText) {
  tw::testing::FakePlatform platform;
  AboutBox box(platform, QFont());
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  for (const char* name : {"Label4", "Label5"}) {
    auto* label = box.findChild<QLabel*>(QLatin1String(name));
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor) << name;
    QTest::mouseClick(label, Qt::LeftButton);
  }
  EXPECT_EQ(platform.links, (std::vector<std::string>{tw::kHomeAddress, tw::kSupportMail}));
}

TEST(AboutBox, OkButtonClosesTheDialog) {
  tw::testing::FakePlatform platform;
  AboutBox box(platform, QFont());
  box.show();
  box.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace
