#include "core/message.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace talvera {

// The message table as built into the program (generated from resources/messages.txt).
extern const char kMessageTableSource[];

namespace {

MessagePresenter* g_presenter = nullptr;
std::string g_pendingSuffix;
int g_lastResult = kIdCancel;

struct Table {
  std::map<int, std::string> texts;
  std::vector<int> numbers;
};

std::string Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

const Table& TheTable() {
  static const Table table = [] {
    Table t;
    std::string_view src(kMessageTableSource);
    while (!src.empty()) {
      std::size_t eol = src.find('\n');
      std::string_view line = src.substr(0, eol);
      src = eol == std::string_view::npos ? std::string_view() : src.substr(eol + 1);
      if (line.empty() || line[0] == '#') continue;
      std::size_t tab = line.find('\t');
      if (tab == std::string_view::npos) continue;
      int number = std::atoi(std::string(line.substr(0, tab)).c_str());
      t.texts[number] = Unescape(line.substr(tab + 1));
    }
    for (const auto& [n, text] : t.texts) t.numbers.push_back(n);
    return t;
  }();
  return table;
}

bool InList(int n, std::initializer_list<int> list) {
  return std::find(list.begin(), list.end(), n) != list.end();
}

// Style of the messages 1..499 that have their own entry.
BoxStyle LowMessageStyle(int n) {
  if (InList(n, {16, 69, 95, 100, 110, 119, 135, 136, 140, 152, 170, 194, 400, 402, 408, 421, 427}))
    return BoxStyle::kQuestionYesNo;
  if (n == 21) return BoxStyle::kQuestionYesNoCancel;
  if (n == 63 || n == 64) return BoxStyle::kExclamationOkCancel;
  if (n == 129 || n == 163) return BoxStyle::kInfoOkCancel;
  if (InList(n, {1,   2,   5,   14,  15,  17,  18,  19,  22,  24,  27,  29,  32,  33,  34,  35,
                 36,  42,  46,  67,  68,  77,  79,  82,  83,  84,  85,  86,  87,  89,  91,  102,
                 105, 106, 107, 108, 109, 112, 120, 122, 125, 132, 133, 134, 137, 141, 148, 155,
                 165, 169, 192, 195, 406, 407, 423, 424, 426, 431, 434}))
    return BoxStyle::kInfoOk;
  return BoxStyle::kExclamationOk;
}

bool Positive(int result) { return result == kIdOk || result == kIdYes; }

int Present(MessageRequest& request) {
  if (!g_pendingSuffix.empty()) {
    request.text += g_pendingSuffix;
    g_pendingSuffix.clear();
  }
  int result;
  if (g_presenter) {
    result = g_presenter->Present(request);
  } else {
    std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
    result = kIdOk;
  }
  g_lastResult = result;
  if (request.controlId != 0) FocusControl(request.controlId);
  return result;
}

// Fills the one placeholder (%s, %i or %d) of a text.
std::string Format(const std::string& text, std::string_view argument) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '%' && (text[i + 1] == 's' || text[i + 1] == 'i' || text[i + 1] == 'd'))
      return text.substr(0, i) + std::string(argument) + text.substr(i + 2);
  }
  return text;
}

bool Show(int number, int controlId, const std::optional<std::string_view>& argument,
          BoxStyle style, bool argumentMessage) {
  g_lastResult = kIdCancel;
  MessageRequest request;
  request.number = number;
  request.controlId = controlId;
  request.title = kProductName;
  std::optional<std::string> text = MessageText(number);
  if (!text) {
    if (argumentMessage) {
      request.text = "Meldung kann nicht geladen werden";
      request.title = "Systemfehler";
    } else {
      request.text = Format("Die Meldung Nr. %i kann nicht geladen werden!", std::to_string(number));
    }
    request.style = BoxStyle::kSystemModalOk;
    return Present(request) == kIdOk;
  }
  request.text = argument ? Format(*text, *argument) : *text;
  request.style = style;
  return Positive(Present(request));
}

}  // namespace

void InstallMessagePresenter(MessagePresenter* presenter) { g_presenter = presenter; }

bool ShowMessage(int number, int controlId) {
  return Show(number, controlId, std::nullopt, MessageStyle(number), false);
}

bool ShowMessage(int number, int controlId, std::string_view argument) {
  return Show(number, controlId, argument, MessageStyle(number), false);
}

bool ShowMessage(int number, int controlId, long long argument) {
  std::string text = std::to_string(argument);
  return Show(number, controlId, std::string_view(text), MessageStyle(number), false);
}

bool ShowArgumentMessage(int number, int controlId, std::string_view argument) {
  return Show(number, controlId, argument, ArgumentMessageStyle(number), true);
}

bool ShowTextBox(std::string_view text, std::string_view title, BoxStyle style) {
  g_lastResult = kIdCancel;
  MessageRequest request;
  request.text = std::string(text);
  request.title = std::string(title);
  request.style = style;
  return Positive(Present(request));
}

void SetPendingSuffix(std::string suffix) { g_pendingSuffix = std::move(suffix); }
int LastMessageResult() { return g_lastResult; }

void FocusControl(int controlId) {
  if (g_presenter && controlId != 0) g_presenter->FocusControl(controlId);
}

std::optional<std::string> MessageText(int number) {
  const Table& t = TheTable();
  auto it = t.texts.find(number);
  if (it == t.texts.end()) return std::nullopt;
  return it->second;
}

BoxStyle MessageStyle(int n) {
  if (n == 513) return BoxStyle::kStopOk;  // the program cannot start: an error, not a notice
  if (n >= 1 && n <= 399) return LowMessageStyle(n);
  if (n >= 400 && n <= 499) return LowMessageStyle(n);
  if (n >= 500 && n <= 599) return BoxStyle::kInfoOk;
  if (n >= 600 && n <= 699) return BoxStyle::kInfoOkCancel;
  if (n >= 700 && n <= 799) return BoxStyle::kExclamationOk;
  if (n >= 800 && n <= 899) return BoxStyle::kExclamationOkCancel;
  if (n >= 900 && n <= 979) return BoxStyle::kQuestionYesNo;
  if (n >= 980 && n <= 2999) return BoxStyle::kQuestionYesNoCancel;
  return BoxStyle::kExclamationOk;
}

BoxStyle ArgumentMessageStyle(int n) {
  switch (n) {
    case 200: case 203: case 204: return BoxStyle::kQuestionYesNo;
    case 201: return BoxStyle::kSystemModalOk;
    case 202: case 211: return BoxStyle::kInfoOk;
    case 206: case 209: return BoxStyle::kInfoOkCancel;
    default: return BoxStyle::kExclamationOk;
  }
}

const int* MessageNumbers(int* count) {
  const Table& t = TheTable();
  *count = static_cast<int>(t.numbers.size());
  return t.numbers.data();
}

}  // namespace talvera
