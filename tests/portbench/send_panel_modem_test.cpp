// DTR and RTS from their check boxes. A pseudo-terminal has no modem lines, so
// nothing on the line shows them: these tests watch the calls instead, through
// SetDTR and SetRTS defined here, which record each call and pass it on to the
// library's own.
#include "send_panel_fixture.h"

#include <QFile>
#include <dlfcn.h>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<char, int32_t>> modemCalls; // ('D' or 'R', flag)

using ModemExport = int32_t (*)(int32_t);

int32_t PassOn(const char* name, char line, int32_t flag) {
    modemCalls.emplace_back(line, flag);
    const auto real = reinterpret_cast<ModemExport>(dlsym(RTLD_NEXT, name));
    return real ? real(flag) : 1;
}

} // namespace

extern "C" {
int32_t PORTLINE_CALL SetDTR(int32_t flag) {
    return PassOn("SetDTR", 'D', flag);
}
int32_t PORTLINE_CALL SetRTS(int32_t flag) {
    return PassOn("SetRTS", 'R', flag);
}
}

namespace {

using Calls = std::vector<std::pair<char, int32_t>>;

class ModemLineTest : public LineTest {
  protected:
    void SetUp() override {
        LineTest::SetUp();
        modemCalls.clear();
    }
};

TEST_F(ModemLineTest, EachClickSwitchesItsLineAlsoWithThePortClosed) {
    Show();
    modemCalls.clear();
    form->CheckBox3->click();
    form->CheckBox4->click();
    form->CheckBox3->click();
    form->CheckBox4->click();
    EXPECT_EQ(modemCalls, (Calls{{'D', 1}, {'R', 1}, {'D', 0}, {'R', 0}}));
    // The modem lines are not remembered.
    QFile settings(SettingsFile());
    const QByteArray stored =
        settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
    EXPECT_FALSE(stored.contains("DTR") || stored.contains("RTS")) << stored.toStdString();
}

TEST_F(ModemLineTest, TheBoxesKeepTheirStateAcrossCloseAndOpenWithoutBeingApplied) {
    OpenLine({});
    form->CheckBox3->click();
    ASSERT_EQ(modemCalls, (Calls{{'D', 1}}));
    form->BitBtn1->click(); // close
    ASSERT_FALSE(form->PortOpen);
    form->BitBtn1->click(); // open again
    ASSERT_TRUE(form->PortOpen);
    EXPECT_TRUE(form->CheckBox3->isChecked());
    EXPECT_EQ(modemCalls, (Calls{{'D', 1}}));
}

} // namespace
