// Every function of the table is documented wherever users and the fuzzers
// look for the language's words.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "functions.h"

namespace vell {
namespace {

std::string ReadSource(const std::string& path) {
  std::ifstream file(std::string(VELL_SOURCE_DIR) + "/" + path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(FunctionDocsTest, EveryKeywordIsNamedInTheDocumentsAndTheFuzzDictionary) {
  const struct {
    const char* path;
    const char* pattern;  // NAME stands for the keyword without its "("
  } places[] = {
      {"README.md", "`NAME\\("},                    // the function table
      {"resources/man/vell-eval.1", "\\bNAME\\b"},  // the language's man page
      {"resources/vell_guide.txt", "\\bNAME\\b"},   // the guide's list of words
      {"fuzz/vell.dict", "^\"NAME\\(\"$"},
  };
  for (const auto& place : places) {
    const std::string text = ReadSource(place.path);
    ASSERT_FALSE(text.empty()) << place.path;
    for (const Function* f = FunctionsBegin(); f != FunctionsEnd(); ++f) {
      const std::string name(f->keyword.substr(0, f->keyword.size() - 1));
      const std::string pattern = std::regex_replace(place.pattern, std::regex("NAME"), name);
      EXPECT_TRUE(std::regex_search(text, std::regex(pattern, std::regex::multiline)))
          << place.path << " does not name " << name;
    }
  }
}

TEST(FunctionDocsTest, KeywordsEndInAParenthesisAndNoneBeginsAnother) {
  for (const Function* f = FunctionsBegin(); f != FunctionsEnd(); ++f) {
    EXPECT_EQ(f->keyword.back(), '(') << f->keyword;
    EXPECT_EQ(FindFunction(std::string(f->keyword) + "1)"), f) << f->keyword;
    for (const Function* g = FunctionsBegin(); g != FunctionsEnd(); ++g) {
      if (f == g) continue;
      EXPECT_NE(g->keyword.substr(0, f->keyword.size()), f->keyword) << f->keyword << " " << g->keyword;
    }
  }
}

}  // namespace
}  // namespace vell
