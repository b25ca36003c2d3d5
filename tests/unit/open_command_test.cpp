#include <gtest/gtest.h>

#include "app/open_command.h"

namespace vigilon {
namespace {

TEST(ExeFromOpenCommand, TakesTheExecutableOutOfTheUsualForms) {
    EXPECT_EQ(ExeFromOpenCommandText(LR"("C:\Program Files\Java\bin\javaw.exe" -jar "%1" %*)"),
              LR"(C:\Program Files\Java\bin\javaw.exe)");
    EXPECT_EQ(ExeFromOpenCommandText(LR"(C:\Java\bin\javaw.exe -jar "%1" %*)"), LR"(C:\Java\bin\javaw.exe)");
}

TEST(ExeFromOpenCommand, MalformedCommandsKeepWhatTheyHold) {
    EXPECT_EQ(ExeFromOpenCommandText(L""), L"");
    EXPECT_EQ(ExeFromOpenCommandText(LR"("C:\Java\javaw.exe -jar)"), LR"(C:\Java\javaw.exe -jar)");
    EXPECT_EQ(ExeFromOpenCommandText(L"\""), L"");
    EXPECT_EQ(ExeFromOpenCommandText(LR"(C:\Java\javaw.exe)"), LR"(C:\Java\javaw.exe)");
    EXPECT_EQ(ExeFromOpenCommandText(L" javaw.exe -jar"), L"javaw.exe");
    EXPECT_EQ(ExeFromOpenCommandText(L"\"\" -jar"), L"");
}

TEST(ExeFromOpenCommand, SetsTheJarPrefixOnTheRecord) {
    WatchedPrograms programs;
    programs.Reset(2, 7);
    programs[2].exe = LR"("C:\J\javaw.exe" -jar "%1")";
    ExeFromOpenCommand(programs, 2);
    EXPECT_EQ(programs[2].exe, LR"(C:\J\javaw.exe)");
    EXPECT_EQ(programs[2].prefix, L"-jar -Xmx384m");
    EXPECT_EQ(programs[1].prefix, L"");
}

}  // namespace
}  // namespace vigilon
