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
      // A project and a sequence, one of each at most, in any case of their extensions.
      {{"show.prj"}, Run},
      {{"song.sqx", "-platform", "offscreen", "SHOW.PRJ"}, Run},
      {{"show.prj", "other.prj"}, Error},
      {{"a.sqx", "b.SQX"}, Error},
      {{"notes.txt"}, Error},
      {{"show"}, Error},
      {{"show.prj", "--bogus"}, Error},
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
    std::ostringstream out, err;
    EXPECT_EQ(AnswerCommandLine({option}, out, err), 0) << option;
    EXPECT_FALSE(out.str().empty()) << option;
    EXPECT_EQ(err.str(), "") << option;
  }
}

TEST(CommandLine, VersionIsTheProjectVersion) {
  EXPECT_EQ(ReadCommandLine({"--version"}).Text, "lumora " LUMORA_VERSION "\n");
}

TEST(CommandLine, HelpNamesTheOptionsAndTheAdapterValues) {
  const std::string help = ReadCommandLine({"--help"}).Text;
  for (const char* word : {"[FILE.prj] [FILE.sqx]", "--help", "--version", "--lang pl|en",
                           "LUMORA_LANG", "-platform NAME", "-style NAME", "LUMORA_ADAPTER", "usb",
                           "virtual:DIR", "tty:PATH", "exit code 2"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

TEST(CommandLine, AWrongArgumentGoesToStandardErrorWithCodeTwo) {
  std::ostringstream out, err;
  EXPECT_EQ(AnswerCommandLine({"-platform", "offscreen", "--bogus"}, out, err), 2);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "lumora: unknown option '--bogus'\nTry 'lumora --help' for more information.\n");
}

TEST(CommandLine, TheLastLanguageGivenGoesToTheWindows) {
  std::ostringstream out, err;
  CommandLineAnswer run{CommandLineAction::Run, "", "unchanged"};
  EXPECT_EQ(AnswerCommandLine({"--lang", "en", "-style", "fusion", "--lang=pl"}, out, err, &run),
            std::nullopt);
  EXPECT_EQ(run.Language, "pl");
  EXPECT_EQ(AnswerCommandLine({"--lang", "en"}, out, err, &run), std::nullopt);
  EXPECT_EQ(run.Language, "en");
  EXPECT_EQ(AnswerCommandLine({}, out, err, &run), std::nullopt);
  EXPECT_EQ(run.Language, "");
  EXPECT_EQ(ReadCommandLine({"--lang", "de"}).Text,
            "lumora: unknown language 'de'; choose pl or en\n"
            "Try 'lumora --help' for more information.\n");
}

TEST(CommandLine, NoArgumentsStartsTheWindows) {
  std::ostringstream out, err;
  EXPECT_EQ(AnswerCommandLine({}, out, err), std::nullopt);
  EXPECT_EQ(out.str() + err.str(), "");
}

TEST(CommandLine, AClosedStandardOutputIsAFailure) {
  std::ostringstream out, err;
  out.setstate(std::ios::badbit);
  EXPECT_EQ(AnswerCommandLine({"--version"}, out, err), 1);
}

// The files go to the window as given, the project apart from the sequence; a file name the
// window cannot open is a usage error that names it, before any window exists.
TEST(CommandLine, FilesGoToTheWindowOrAreUsageErrors) {
  std::ostringstream out, err;
  CommandLineAnswer run;
  EXPECT_EQ(
      AnswerCommandLine({"Moje pokazy/song.SQX", "--lang", "en", "/home/anna/Pokaz świąteczny.prj"},
                        out, err, &run),
      std::nullopt);
  EXPECT_EQ(run.Project, "/home/anna/Pokaz świąteczny.prj");
  EXPECT_EQ(run.Sequence, "Moje pokazy/song.SQX");
  EXPECT_EQ(run.Language, "en");

  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } errors[] = {
      {{"notes.txt"},
       "lumora: cannot open 'notes.txt': Lumora opens projects (.prj) and sequences (.sqx)\n"},
      {{"a.prj", "song.sqx", "b.prj"},
       "lumora: cannot open 'b.prj' too: one project and one sequence at most\n"},
  };
  for (const auto& e : errors) {
    std::ostringstream errorOut;
    EXPECT_EQ(AnswerCommandLine(e.arguments, out, errorOut), 2);
    EXPECT_EQ(errorOut.str(),
              std::string(e.message) + "Try 'lumora --help' for more information.\n");
  }
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace lumora
