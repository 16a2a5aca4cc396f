#include "tax/ustva_upload_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "tax/federal_tax_number.h"

namespace talvera {
namespace {

constexpr const char* kNamespacePrefix = "http://finkonsens.de/elster/elsteranmeldung/ustva/v";
constexpr const char* kEncoding = "ISO-8859-15";
constexpr int kFirstQuarterCode = 41;

// ---- ISO-8859-15 ------------------------------------------------------------------------
// Latin-1 but for eight places, among them the euro sign.
const std::pair<unsigned char, char32_t> kLatin9Differs[] = {
    {0xA4, 0x20AC}, {0xA6, 0x0160}, {0xA8, 0x0161}, {0xB4, 0x017D},
    {0xB8, 0x017E}, {0xBC, 0x0152}, {0xBD, 0x0153}, {0xBE, 0x0178},
};

char32_t Latin9ToCode(unsigned char c) {
  for (const auto& [byte, code] : kLatin9Differs)
    if (byte == c) return code;
  return c;
}

// '?' for what the character set cannot hold.
char CodeToLatin9(char32_t code) {
  for (const auto& [byte, c] : kLatin9Differs) {
    if (c == code) return static_cast<char>(byte);
    if (byte == code) return '?';  // the Latin-1 character that byte no longer is
  }
  return code < 0x100 ? static_cast<char>(code) : '?';
}

std::string Utf8ToLatin9(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra >= s.size() + (extra == 0 ? 1 : 0)) {
      out += '?';
      ++i;
      continue;
    }
    char32_t code = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out += CodeToLatin9(code);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
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

std::string Latin9ToUtf8(std::string_view s) {
  std::string out;
  for (char c : s) AppendUtf8(out, Latin9ToCode(static_cast<unsigned char>(c)));
  return out;
}

// ---- Writing ------------------------------------------------------------------------------
std::string Escaped(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML text.
        out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
  }
  return out;
}

class XmlOut {
 public:
  void Open(const std::string& name, const std::string& attributes = "") {
    Indent();
    text_ += "<" + name + attributes + ">\n";
    ++depth_;
  }
  void Close(const std::string& name) {
    --depth_;
    Indent();
    text_ += "</" + name + ">\n";
  }
  void Leaf(const std::string& name, const std::string& utf8) {
    Indent();
    text_ += "<" + name + ">" + Escaped(utf8) + "</" + name + ">\n";
  }
  void Optional(const std::string& name, const std::string& utf8) {
    if (!utf8.empty()) Leaf(name, utf8);
  }
  const std::string& Text() const { return text_; }

 private:
  void Indent() { text_.append(static_cast<std::size_t>(depth_) * 2, ' '); }
  std::string text_;
  int depth_ = 0;
};

std::string Trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return std::string(s);
}

// "80331 München" -> "80331", "München".
void SplitTown(const std::string& town, std::string& postcode, std::string& name) {
  std::string t = Trimmed(town);
  std::size_t digits = 0;
  while (digits < t.size() && std::isdigit(static_cast<unsigned char>(t[digits]))) ++digits;
  if (digits == 0 || (digits < t.size() && t[digits] != ' ')) {
    postcode.clear();
    name = t;
    return;
  }
  postcode = t.substr(0, digits);
  name = Trimmed(std::string_view(t).substr(digits));
}

std::string Euros(long long cents) { return std::to_string(cents / 100); }

std::string Decimal(long long cents) {
  long long magnitude = cents < 0 ? -cents : cents;
  char text[32];
  std::snprintf(text, sizeof text, "%s%lld.%02lld", cents < 0 ? "-" : "", magnitude / 100, magnitude % 100);
  return text;
}

int ResultKz(const UstvaForm& form) {
  for (const UstvaRow& row : form.rows)
    if (row.kind == UstvaRow::kResult) return row.resultKz;
  return 0;
}

// ---- Reading ------------------------------------------------------------------------------
struct XmlNode {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::string text;
  std::vector<std::unique_ptr<XmlNode>> children;

  const XmlNode* Child(std::string_view n) const {
    for (const auto& c : children)
      if (c->name == n) return c.get();
    return nullptr;
  }
  std::string Attribute(std::string_view n) const {
    for (const auto& [k, v] : attributes)
      if (k == n) return v;
    return "";
  }
};

class XmlReader {
 public:
  explicit XmlReader(std::string_view text) : s_(text) {}

  bool Document(XmlNode& root, std::string& encoding) {
    Blanks();
    if (Starts("<?xml")) {
      std::size_t end = s_.find("?>", i_);
      if (end == std::string_view::npos) return false;
      std::string_view decl = s_.substr(i_, end - i_);
      std::size_t at = decl.find("encoding=\"");
      if (at != std::string_view::npos) {
        std::size_t close = decl.find('"', at + 10);
        encoding = std::string(decl.substr(at + 10, close - at - 10));
      }
      i_ = end + 2;
    }
    Blanks();
    if (!Element(root, 0)) return false;
    Blanks();
    return i_ == s_.size();
  }

 private:
  bool Starts(std::string_view p) const { return s_.substr(i_, p.size()) == p; }
  void Blanks() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }
  std::string Name() {
    std::size_t start = i_;
    while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == ':' ||
                              s_[i_] == '_' || s_[i_] == '-' || s_[i_] == '.'))
      ++i_;
    return std::string(s_.substr(start, i_ - start));
  }
  bool Unescape(std::string_view raw, std::string& out) {
    for (std::size_t k = 0; k < raw.size(); ++k) {
      if (raw[k] != '&') {
        out += raw[k];
        continue;
      }
      std::size_t semi = raw.find(';', k);
      if (semi == std::string_view::npos) return false;
      std::string_view e = raw.substr(k + 1, semi - k - 1);
      if (e == "amp") out += '&';
      else if (e == "lt") out += '<';
      else if (e == "gt") out += '>';
      else if (e == "quot") out += '"';
      else if (e == "apos") out += '\'';
      else if (e.size() > 1 && e[0] == '#') {
        char32_t code = static_cast<char32_t>(
            std::strtoul(std::string(e.substr(e[1] == 'x' ? 2 : 1)).c_str(), nullptr, e[1] == 'x' ? 16 : 10));
        AppendUtf8(out, code);
      } else {
        return false;
      }
      k = semi;
    }
    return true;
  }
  bool Element(XmlNode& node, int depth) {
    if (depth > 16 || !Starts("<")) return false;
    ++i_;
    node.name = Name();
    if (node.name.empty()) return false;
    while (true) {
      Blanks();
      if (Starts("/>")) {
        i_ += 2;
        return true;
      }
      if (Starts(">")) {
        ++i_;
        break;
      }
      std::string key = Name();
      Blanks();
      if (key.empty() || !Starts("=")) return false;
      ++i_;
      Blanks();
      if (!Starts("\"")) return false;
      std::size_t close = s_.find('"', i_ + 1);
      if (close == std::string_view::npos) return false;
      std::string value;
      if (!Unescape(s_.substr(i_ + 1, close - i_ - 1), value)) return false;
      node.attributes.emplace_back(key, value);
      i_ = close + 1;
    }
    while (true) {
      std::size_t lt = s_.find('<', i_);
      if (lt == std::string_view::npos) return false;
      if (!Unescape(s_.substr(i_, lt - i_), node.text)) return false;
      i_ = lt;
      if (Starts("</")) {
        i_ += 2;
        if (Name() != node.name) return false;
        Blanks();
        if (!Starts(">")) return false;
        ++i_;
        node.text = Trimmed(node.text);
        return true;
      }
      auto child = std::make_unique<XmlNode>();
      if (!Element(*child, depth + 1)) return false;
      node.children.push_back(std::move(child));
    }
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

bool Fail(std::string& error, const std::string& what) {
  error = "Die Datei ist keine Umsatzsteuer-Voranmeldung zum Hochladen: " + what;
  return false;
}

}  // namespace

bool MakeUstvaUpload(const UstvaReturn& ret, const CompanyMaster& master, const std::string& created,
                     UstvaUpload& out, std::string& error) {
  out = UstvaUpload{};
  const UstvaForm* form = ret.form;
  // Only today's German form (its numbers begin with 81) is taken for upload.
  if (!form || form->country != "DE" || !form->Line(81)) {
    error = "Für diesen Zeitraum gibt es keine Datei zum Hochladen: das Portal nimmt nur "
            "Voranmeldungen mit den heutigen Kennzahlen an.";
    return false;
  }
  const UstvaPeriod& p = ret.period;
  char period[8];
  if (p.choice >= 1 && p.choice <= 12) {
    std::snprintf(period, sizeof period, "%02d", p.choice);
  } else if (p.choice >= kUstvaFirstQuarter && p.choice < kUstvaYear) {
    std::snprintf(period, sizeof period, "%02d", kFirstQuarterCode + p.choice - kUstvaFirstQuarter);
  } else {
    error = "Für das Gesamtjahr gibt es keine Voranmeldung zum Hochladen; wählen Sie bitte einen "
            "Monat oder ein Quartal. Die Jahreserklärung ist eine eigene Erklärung.";
    return false;
  }
  FederalTaxNumberError fault = FederalTaxNumber(master.federalState, master.taxNumber, out.taxNumber);
  if (fault != FederalTaxNumberError::kNone) {
    error = FederalTaxNumberErrorText(fault, master.federalState);
    return false;
  }
  out.formYear = p.endYear;
  out.year = p.endYear;
  out.period = period;
  out.created = created;
  out.sender.name = Trimmed(master.name);
  out.sender.street = Trimmed(master.street);
  SplitTown(master.town, out.sender.postcode, out.sender.town);
  out.sender.phone = Trimmed(master.phone);

  const int resultKz = ResultKz(*form);
  if (ret.corrected && form->correctedKz) out.fields.emplace_back(form->correctedKz, "1");
  for (const UstvaLine& line : form->lines) {
    if (line.kind == UstvaKind::kMark || line.sinceYear > p.endYear || line.kz == resultKz) continue;
    auto it = ret.amounts.find(line.kz);
    if (it == ret.amounts.end() || it->second == 0) continue;
    out.fields.emplace_back(line.kz, line.IsBase() ? Euros(it->second) : Decimal(it->second));
  }
  if (resultKz) out.fields.emplace_back(resultKz, Decimal(ret.result));
  std::sort(out.fields.begin(), out.fields.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  return true;
}

std::string WriteUstvaUploadXml(const UstvaUpload& u) {
  XmlOut x;
  const std::string year = std::to_string(u.formYear);
  x.Open("Anmeldungssteuern", " xmlns=\"" + std::string(kNamespacePrefix) + year + "\" version=\"" + year + "\"");
  x.Open("DatenLieferant");
  x.Leaf("Name", u.sender.name);
  x.Optional("Strasse", u.sender.street);
  x.Optional("PLZ", u.sender.postcode);
  x.Optional("Ort", u.sender.town);
  x.Optional("Telefon", u.sender.phone);
  x.Optional("Email", u.sender.email);
  x.Close("DatenLieferant");
  x.Leaf("Erstellungsdatum", u.created);
  x.Open("Steuerfall");
  x.Open("Umsatzsteuervoranmeldung");
  x.Leaf("Jahr", std::to_string(u.year));
  x.Leaf("Zeitraum", u.period);
  x.Leaf("Steuernummer", u.taxNumber);
  for (const auto& [kz, value] : u.fields) {
    char name[16];
    std::snprintf(name, sizeof name, "Kz%02d", kz);
    x.Leaf(name, value);
  }
  x.Close("Umsatzsteuervoranmeldung");
  x.Close("Steuerfall");
  x.Close("Anmeldungssteuern");
  return "<?xml version=\"1.0\" encoding=\"" + std::string(kEncoding) + "\"?>\n" + Utf8ToLatin9(x.Text());
}

bool ReadUstvaUploadXml(std::string_view bytes, UstvaUpload& out, std::string& error) {
  out = UstvaUpload{};
  std::string text = Latin9ToUtf8(bytes);
  XmlNode root;
  std::string encoding;
  if (!XmlReader(text).Document(root, encoding)) return Fail(error, "kein wohlgeformtes XML.");
  if (encoding != kEncoding) return Fail(error, "Zeichensatz " + encoding + " statt " + kEncoding + ".");
  const std::string ns = root.Attribute("xmlns");
  const std::string prefix = kNamespacePrefix;
  if (root.name != "Anmeldungssteuern" || ns.compare(0, prefix.size(), prefix) != 0)
    return Fail(error, "Wurzel oder Namensraum unbekannt.");
  out.formYear = std::atoi(ns.substr(prefix.size()).c_str());
  if (root.Attribute("version") != std::to_string(out.formYear))
    return Fail(error, "Version und Namensraum nennen verschiedene Jahre.");
  const XmlNode* sender = root.Child("DatenLieferant");
  const XmlNode* created = root.Child("Erstellungsdatum");
  const XmlNode* fall = root.Child("Steuerfall");
  const XmlNode* ustva = fall ? fall->Child("Umsatzsteuervoranmeldung") : nullptr;
  if (!sender || !created || !ustva) return Fail(error, "Angaben fehlen.");
  out.created = created->text;
  auto text_of = [](const XmlNode* parent, std::string_view name) {
    const XmlNode* n = parent->Child(name);
    return n ? n->text : std::string();
  };
  out.sender = {text_of(sender, "Name"),    text_of(sender, "Strasse"), text_of(sender, "PLZ"),
                text_of(sender, "Ort"),     text_of(sender, "Telefon"), text_of(sender, "Email")};
  for (const auto& child : ustva->children) {
    const std::string& n = child->name;
    if (n == "Jahr") {
      out.year = std::atoi(child->text.c_str());
    } else if (n == "Zeitraum") {
      out.period = child->text;
    } else if (n == "Steuernummer") {
      out.taxNumber = child->text;
    } else if (n.size() > 2 && n.compare(0, 2, "Kz") == 0 &&
               std::all_of(n.begin() + 2, n.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
      out.fields.emplace_back(std::atoi(n.c_str() + 2), child->text);
    } else {
      return Fail(error, "unbekanntes Element " + n + ".");
    }
  }
  if (out.year == 0 || out.period.empty() || out.taxNumber.empty())
    return Fail(error, "Jahr, Zeitraum oder Steuernummer fehlt.");
  return true;
}

bool SaveUstvaUploadFile(const std::string& path, const UstvaUpload& upload, std::string& error) {
  namespace fs = std::filesystem;
  const std::string bytes = WriteUstvaUploadXml(upload);
  const fs::path target(path);
  const fs::path temporary = target.string() + ".neu";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    if (!file) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      error = "Die Datei " + path + " kann nicht geschrieben werden.";
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    error = "Die Datei " + path + " kann nicht geschrieben werden.";
    return false;
  }
  return true;
}

}  // namespace talvera
