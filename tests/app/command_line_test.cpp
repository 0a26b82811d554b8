#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace lumora {
namespace {

struct Case {
  std::vector<std::string> Arguments;
  CommandLineAction Action;
};

TEST(CommandLine, EachArgumentListGivesItsAction) {
  using enum CommandLineAction;
  const Case cases[] = {
      {{}, Run},
      {{"--help"}, Help},
      {{"-h"}, Help},
      {{"--version"}, Version},
      // The first deciding argument wins.
      {{"--help", "--bogus"}, Help},
      {{"--version", "--help"}, Version},
      {{"--bogus", "--help"}, Error},
      {{"--bogus"}, Error},
      {{"-x"}, Error},
      {{"-"}, Error},
      {{"--"}, Error},
      {{"show.prj"}, Error},
      {{"--helpme"}, Error},
      // Qt's options with one dash or two, and their values.
      {{"-platform", "offscreen"}, Run},
      {{"--platform", "offscreen"}, Run},
      {{"-platform", "offscreen", "--version"}, Version},
      {{"-style", "fusion", "-reverse", "-qwindowtitle", "--help"}, Run},
      {{"-style=fusion", "--stylesheet=a.qss", "--widgetcount"}, Run},
      {{"-display", ":1", "-geometry", "800x600", "-sync"}, Run},
      // A value is taken as a value, even when it looks like an option.
      {{"-qwindowtitle", "--bogus"}, Run},
      // An option that needs a value and has none.
      {{"-platform"}, Error},
      {{"-style", "fusion", "--stylesheet"}, Error},
      {{"-style="}, Error},
      {{"-platform=offscreen"}, Error},
      {{"---platform", "offscreen"}, Error},
      // The windows' language: pl or en, its value apart or after '='.
      {{"--lang", "en"}, Run},
      {{"--lang=pl", "-platform", "offscreen"}, Run},
      {{"--lang"}, Error},
      {{"--lang="}, Error},
      {{"--lang", "de"}, Error},
      {{"--lang", "EN"}, Error},
      {{"-lang", "en"}, Error},
      {{"--lang", "--help"}, Error},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& argument : c.Arguments) line += " " + argument;
    EXPECT_EQ(ReadCommandLine(c.Arguments).Action, c.Action) << "lumora" << line;
  }
}

TEST(CommandLine, HelpAndVersionGoToStandardOutputWithCodeZero) {
  for (const char* option : {"--help", "--version"}) {
    const char* argv[] = {"lumora", option};
    std::ostringstream out, err;
    EXPECT_EQ(AnswerCommandLine(2, argv, out, err), 0) << option;
    EXPECT_FALSE(out.str().empty()) << option;
    EXPECT_EQ(err.str(), "") << option;
  }
}

TEST(CommandLine, VersionIsTheProjectVersion) {
  EXPECT_EQ(ReadCommandLine({"--version"}).Text, "lumora " LUMORA_VERSION "\n");
}

TEST(CommandLine, HelpNamesTheOptionsAndTheAdapterValues) {
  const std::string help = ReadCommandLine({"--help"}).Text;
  for (const char* word :
       {"--help", "--version", "--lang pl|en", "LUMORA_LANG", "-platform NAME", "-style NAME",
        "LUMORA_ADAPTER", "usb", "virtual:DIR", "tty:PATH", "exit code 2"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

TEST(CommandLine, AWrongArgumentGoesToStandardErrorWithCodeTwo) {
  const char* argv[] = {"lumora", "-platform", "offscreen", "--bogus"};
  std::ostringstream out, err;
  EXPECT_EQ(AnswerCommandLine(4, argv, out, err), 2);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "lumora: unknown option '--bogus'\nTry 'lumora --help' for more information.\n");
}

TEST(CommandLine, TheLastLanguageGivenGoesToTheWindows) {
  const char* argv[] = {"lumora", "--lang", "en", "-style", "fusion", "--lang=pl"};
  std::ostringstream out, err;
  std::string language = "unchanged";
  EXPECT_EQ(AnswerCommandLine(6, argv, out, err, &language), std::nullopt);
  EXPECT_EQ(language, "pl");
  EXPECT_EQ(AnswerCommandLine(3, argv, out, err, &language), std::nullopt);
  EXPECT_EQ(language, "en");
  EXPECT_EQ(AnswerCommandLine(1, argv, out, err, &language), std::nullopt);
  EXPECT_EQ(language, "");
  EXPECT_EQ(ReadCommandLine({"--lang", "de"}).Text,
            "lumora: unknown language 'de'; choose pl or en\n"
            "Try 'lumora --help' for more information.\n");
}

TEST(CommandLine, NoArgumentsStartsTheWindows) {
  const char* argv[] = {"lumora"};
  std::ostringstream out, err;
  EXPECT_EQ(AnswerCommandLine(1, argv, out, err), std::nullopt);
  EXPECT_EQ(out.str() + err.str(), "");
}

TEST(CommandLine, AClosedStandardOutputIsAFailure) {
  const char* argv[] = {"lumora", "--version"};
  std::ostringstream out, err;
  out.setstate(std::ios::badbit);
  EXPECT_EQ(AnswerCommandLine(2, argv, out, err), 1);
}

}  // namespace
}  // namespace lumora
