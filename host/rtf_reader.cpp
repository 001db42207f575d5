#include "host/rtf_reader.h"

#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <unordered_set>

namespace host {
namespace {

// Nesting deeper than this is not a real document; refusing it keeps the
// state stack bounded on hostile input.
constexpr std::size_t kMaxGroupDepth = 512;
constexpr std::size_t kMaxControlWordLetters = 32;
constexpr std::size_t kMaxParameterDigits = 10;
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Destinations whose content is never shown: tables, document information,
// pictures, embedded objects, field instructions, headers and footers.
const std::unordered_set<std::string_view>& HiddenDestinations() {
  static const std::unordered_set<std::string_view> names{
      "fonttbl",   "colortbl",   "stylesheet",  "info",      "pict",
      "object",    "fldinst",    "header",      "headerl",   "headerr",
      "headerf",   "footer",     "footerl",     "footerr",   "footerf",
      "footnote",  "listtable",  "listoverridetable",        "revtbl",
      "rsidtbl",   "generator",  "xmlnstbl",    "themedata", "colorschememapping",
      "latentstyles",            "datastore",   "filetbl",   "nonshppict",
      "pgdsctbl",  "mmathPr",    "template",    "private"};
  return names;
}

// Control words that stand for one character.
std::optional<char32_t> SpecialCharacter(std::string_view word) {
  static const std::array<std::pair<std::string_view, char32_t>, 10> table{{
      {"emdash", 0x2014},
      {"endash", 0x2013},
      {"bullet", 0x2022},
      {"lquote", 0x2018},
      {"rquote", 0x2019},
      {"ldblquote", 0x201C},
      {"rdblquote", 0x201D},
      {"emspace", 0x2003},
      {"enspace", 0x2002},
      {"qmspace", 0x2005},
  }};
  for (const auto& [name, character] : table) {
    if (name == word) return character;
  }
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementCharacter;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Bytes of the document's ANSI code page to UTF-8, through ICU's converters.
std::string DecodeCodePage(const std::string& bytes, int codePage) {
  if (codePage == 65001) return bytes;
  const std::string number = std::to_string(codePage);
  for (const std::string& name : {"windows-" + number, "cp" + number, "ibm-" + number,
                                  std::string("windows-1252")}) {
    icu::UnicodeString decoded(bytes.data(), static_cast<int32_t>(bytes.size()), name.c_str());
    if (!decoded.isBogus()) {
      std::string out;
      decoded.toUTF8String(out);
      return out;
    }
  }
  return std::string(bytes.size(), '?');
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Character formatting and reading state that a group inherits and restores.
struct GroupState {
  bool bold = false;
  bool italic = false;
  bool hidden = false;       // inside a destination that is not shown
  bool inFontTable = false;  // inside \fonttbl, where \fN defines a font
  int unicodeFallback = 1;   // \ucN: characters that follow each \uN as its fallback
  long long font = -1;       // \fN of the text; -1 until set, meaning the \deffN font
};

// The code page of a font's \fcharsetN; nullopt for the ANSI, default and
// symbol character sets, whose bytes follow the document's \ansicpgN.
std::optional<int> CodePageOfCharset(long long charset) {
  static const std::array<std::pair<long long, int>, 18> table{{
      {77, 10000},  {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
      {161, 1253},  {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
      {204, 1251},  {222, 874},  {238, 1250}, {254, 437},  {255, 850},  {0, 0},
  }};
  for (const auto& [set, codePage] : table) {
    if (set == charset && codePage != 0) return codePage;
  }
  return std::nullopt;
}

// Reads one document front to back; groups keep their state on an explicit
// stack, so hostile nesting cannot exhaust the call stack.
class RtfParser {
 public:
  explicit RtfParser(std::string_view input) : in_(input) {}

  StyledText Parse() {
    while (pos_ < in_.size() && IsWhiteSpace(in_[pos_])) ++pos_;
    if (in_.substr(pos_, 5) != "{\\rtf") Fail("the text does not begin with \"{\\rtf\"");
    while (pos_ < in_.size() && !finished_) Step();
    if (!finished_) Fail("the document ends inside an open group (missing \"}\")");
    for (; pos_ < in_.size(); ++pos_) {
      if (!IsWhiteSpace(in_[pos_]) && in_[pos_] != '\0') Fail("text follows the end of the document");
    }
    if (!paragraph_.runs.empty()) out_.paragraphs.push_back(std::move(paragraph_));
    return std::move(out_);
  }

 private:
  static bool IsWhiteSpace(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; }

  [[noreturn]] void Fail(const std::string& what) const {
    throw RtfError("Malformed rich text at byte " + std::to_string(pos_) + ": " + what + ".");
  }

  void Step() {
    const char c = in_[pos_++];
    switch (c) {
      case '{':
        FlushBytes();
        if (stack_.size() >= kMaxGroupDepth) Fail("groups are nested too deeply");
        stack_.push_back(state_);
        groupStart_ = true;
        return;
      case '}':
        FlushBytes();
        if (stack_.empty()) Fail("a \"}\" closes no group");
        state_ = stack_.back();
        stack_.pop_back();
        fallbackToSkip_ = 0;
        finished_ = stack_.empty();
        return;
      case '\\':
        ControlSequence();
        return;
      case '\r':
      case '\n':
        return;  // line ends in the file are not part of the text
      default:
        groupStart_ = false;
        if (SkipFallback()) return;
        if (static_cast<unsigned char>(c) >= 0x80) {
          bytes_ += c;  // a raw byte of the document's code page
        } else if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
          return;  // stray control characters are not text
        } else {
          FlushBytes();
          Emit(std::string(1, c));
        }
    }
  }

  void ControlSequence() {
    if (pos_ >= in_.size()) Fail("the document ends after a backslash");
    const char c = in_[pos_];
    if (IsLetter(c)) {
      ControlWord();
      return;
    }
    ++pos_;
    const bool atGroupStart = groupStart_;
    groupStart_ = false;
    if (c == '\'') {
      if (pos_ + 2 > in_.size()) Fail("a \"\\'\" escape is cut short");
      const int high = HexDigit(in_[pos_]);
      const int low = HexDigit(in_[pos_ + 1]);
      if (high < 0 || low < 0) Fail("a \"\\'\" escape is not followed by two hex digits");
      pos_ += 2;
      if (SkipFallback()) return;
      bytes_ += static_cast<char>(high * 16 + low);
      return;
    }
    FlushBytes();
    if (c == '*') {
      // "{\*\name ...}": a destination a reader may leave out when it does not
      // know it; this reader shows none of them.
      if (atGroupStart) state_.hidden = true;
      return;
    }
    if (SkipFallback()) return;
    switch (c) {
      case '\\':
      case '{':
      case '}':
        Emit(std::string(1, c));
        return;
      case '~':
        EmitCharacter(0x00A0);
        return;
      case '_':
        EmitCharacter(0x2011);
        return;
      case '\r':
      case '\n':
        EndParagraph();
        return;
      default:
        return;  // optional hyphen "\-", index subentry "\:" and the like
    }
  }

  void ControlWord() {
    const std::size_t begin = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
    if (pos_ - begin > kMaxControlWordLetters) Fail("a control word is too long");
    const std::string_view word = in_.substr(begin, pos_ - begin);
    std::optional<long long> parameter;
    bool negative = false;
    if (pos_ < in_.size() && in_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    const std::size_t digitsBegin = pos_;
    while (pos_ < in_.size() && IsDigit(in_[pos_])) ++pos_;
    if (pos_ - digitsBegin > kMaxParameterDigits) Fail("a control word's number is too long");
    if (pos_ > digitsBegin) {
      parameter = std::stoll(std::string(in_.substr(digitsBegin, pos_ - digitsBegin)));
      if (negative) *parameter = -*parameter;
    } else if (negative) {
      Fail("a control word has a \"-\" without a number");
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiting blank belongs to the word
    groupStart_ = false;
    if (word == "bin") {
      SkipBinary(parameter.value_or(0));
      return;
    }
    if (word != "u") FlushBytes();
    fallbackToSkip_ = 0;
    Apply(word, parameter);
  }

  void Apply(std::string_view word, std::optional<long long> parameter) {
    const bool on = !parameter.has_value() || *parameter != 0;
    if (state_.inFontTable) {
      DefineFont(word, parameter);
    } else if (word == "fonttbl") {
      state_.hidden = true;
      state_.inFontTable = true;
    } else if (word == "f") {
      state_.font = parameter.value_or(0);
    } else if (word == "deff") {
      defaultFont_ = parameter.value_or(0);
    } else if (HiddenDestinations().contains(word)) {
      state_.hidden = true;
    } else if (word == "par" || word == "sect" || word == "page" || word == "row") {
      EndParagraph();
    } else if (word == "line") {
      Emit("\n");
    } else if (word == "tab" || word == "cell") {
      Emit("\t");
    } else if (word == "b") {
      state_.bold = on;
    } else if (word == "i") {
      state_.italic = on;
    } else if (word == "plain") {
      state_.bold = false;
      state_.italic = false;
    } else if (word == "uc") {
      state_.unicodeFallback = static_cast<int>(std::max(0LL, std::min(parameter.value_or(1), 16LL)));
    } else if (word == "u") {
      UnicodeEscape(parameter.value_or(0));
    } else if (word == "ansicpg") {
      codePage_ = static_cast<int>(parameter.value_or(1252));
    } else if (word == "mac") {
      codePage_ = 10000;
    } else if (word == "pc") {
      codePage_ = 437;
    } else if (word == "pca") {
      codePage_ = 850;
    } else if (const auto special = SpecialCharacter(word)) {
      EmitCharacter(*special);
    }
  }

  // A font's character set decides how the \'hh bytes of text in that font
  // read, e.g. Cyrillic text in a font with \fcharset204 is in code page 1251.
  void DefineFont(std::string_view word, std::optional<long long> parameter) {
    if (word == "f") {
      fontBeingDefined_ = parameter.value_or(0);
    } else if (word == "fcharset") {
      if (const auto codePage = CodePageOfCharset(parameter.value_or(0))) {
        fontCodePages_[fontBeingDefined_] = *codePage;
      }
    } else if (word == "cpg" && parameter.value_or(0) > 0) {
      fontCodePages_[fontBeingDefined_] = static_cast<int>(*parameter);
    }
  }

  int CurrentCodePage() const {
    const auto found = fontCodePages_.find(state_.font >= 0 ? state_.font : defaultFont_);
    return found != fontCodePages_.end() ? found->second : codePage_;
  }

  // \uN gives one UTF-16 unit as a signed 16-bit number; a pair of them may
  // form a surrogate pair. The fallback characters that follow are skipped.
  void UnicodeEscape(long long value) {
    FlushBytes();
    const auto unit = static_cast<char32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (highSurrogate_) {
        highSurrogate_.reset();
        EmitCharacter(kReplacementCharacter);
      }
      highSurrogate_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_) {
      const char32_t combined = 0x10000 + ((*highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00);
      highSurrogate_.reset();
      EmitCharacter(combined);
    } else {
      EmitCharacter(unit);
    }
    fallbackToSkip_ = state_.unicodeFallback;
  }

  // True when the character just read is part of a \uN fallback and is left out.
  bool SkipFallback() {
    if (fallbackToSkip_ == 0) return false;
    --fallbackToSkip_;
    return true;
  }

  void SkipBinary(long long count) {
    if (count < 0 || static_cast<unsigned long long>(count) > in_.size() - pos_) {
      Fail("binary data runs past the end of the document");
    }
    pos_ += static_cast<std::size_t>(count);
  }

  void FlushBytes() {
    if (bytes_.empty()) return;
    const std::string decoded = DecodeCodePage(bytes_, CurrentCodePage());
    bytes_.clear();
    Emit(decoded);
  }

  void EmitCharacter(char32_t c) {
    std::string text;
    AppendUtf8(text, c);
    Emit(text);
  }

  void Emit(const std::string& text) {
    if (state_.hidden || text.empty()) return;
    if (highSurrogate_) {
      highSurrogate_.reset();
      EmitCharacter(kReplacementCharacter);
    }
    auto& runs = paragraph_.runs;
    if (runs.empty() || runs.back().bold != state_.bold || runs.back().italic != state_.italic) {
      runs.push_back(StyledRun{std::string(), state_.bold, state_.italic});
    }
    runs.back().text += text;
  }

  void EndParagraph() {
    FlushBytes();
    if (state_.hidden) return;
    out_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = StyledParagraph();
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  GroupState state_;
  std::vector<GroupState> stack_;
  bool groupStart_ = false;
  bool finished_ = false;
  int codePage_ = 1252;
  std::map<long long, int> fontCodePages_;
  long long fontBeingDefined_ = 0;
  long long defaultFont_ = 0;
  int fallbackToSkip_ = 0;
  std::string bytes_;
  std::optional<char32_t> highSurrogate_;
  StyledParagraph paragraph_;
  StyledText out_;
};

}  // namespace

std::string StyledParagraph::Text() const {
  std::string text;
  for (const StyledRun& run : runs) text += run.text;
  return text;
}

std::string StyledText::PlainText() const {
  std::string text;
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text += '\r';
    text += paragraphs[i].Text();
  }
  return text;
}

StyledText ReadRtf(std::string_view rtf) { return RtfParser(rtf).Parse(); }

StyledText ReadRtfFile(const std::filesystem::path& file) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) throw RtfError("The file \"" + file.string() + "\" cannot be read: " + error.message() + ".");
  if (size > kMaxRtfFileBytes) throw RtfError("The file \"" + file.string() + "\" is too large to show.");
  std::ifstream stream(file, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  if (!stream && !stream.eof()) throw RtfError("The file \"" + file.string() + "\" cannot be read.");
  return ReadRtf(content);
}

}  // namespace host
