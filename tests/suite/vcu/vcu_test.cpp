// Progress of a flow step: a bar redrawn in place on a terminal.
#include <vcu/vcu.h>

#include <gtest/gtest.h>

#include <sstream>

TEST(CmpFacade, TerminalBarIsRedrawnAndEndsItsLine)
{
    std::ostringstream out;
    {
        CMP_FACADE facade("Step", out, true);
        facade.progress(-5);
        facade.progress(50);
    }
    const std::string half = std::string(20, '#') + std::string(20, ' ');
    EXPECT_EQ(out.str(), "\rInfo: Step: [" + std::string(40, ' ') + "] 0%\rInfo: Step: [" + half + "] 50%\n");
}
