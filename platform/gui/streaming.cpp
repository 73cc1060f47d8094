// The window-description reader, the class registry and the property
// tables of the core classes.
#include "platform/gui/streaming.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <string_view>
#include <unordered_map>

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/rtl/codepage.h"

namespace platform {

// ---------------------------------------------------------------- values

void BadValue(const AnsiString& Prop) { throw EReadError("Ung\xFCltiger Eigenschaftswert f\xFCr " + Prop); }

std::int64_t TPropValue::AsInteger(const AnsiString& Prop) const {
  if (kind == vkInteger) return Int;
  if (kind == vkFloat) return static_cast<std::int64_t>(Float);
  BadValue(Prop);
}

double TPropValue::AsFloat(const AnsiString& Prop) const {
  if (kind == vkFloat) return Float;
  if (kind == vkInteger) return static_cast<double>(Int);
  BadValue(Prop);
}

bool TPropValue::AsBoolean(const AnsiString& Prop) const {
  if (kind == vkIdent) {
    if (SameText(Str, "True")) return true;
    if (SameText(Str, "False")) return false;
  }
  if (kind == vkInteger) return Int != 0;
  BadValue(Prop);
}

AnsiString TPropValue::AsString(const AnsiString& Prop) const {
  if (kind == vkString || kind == vkIdent) return Str;
  if (kind == vkInteger) return IntToStr(Int);
  BadValue(Prop);
}

AnsiString TPropValue::AsIdent(const AnsiString& Prop) const {
  if (kind == vkIdent) return Str;
  BadValue(Prop);
}

TColor ColorValue(const TPropValue& V, const AnsiString& Prop) {
  if (V.kind == TPropValue::vkInteger) return static_cast<TColor>(V.Int);
  if (V.kind == TPropValue::vkIdent) {
    TColor c;
    if (IdentToColor(V.Str, c)) return c;
  }
  BadValue(Prop);
}

int EnumValue(const TPropValue& V, const AnsiString& Prop, const std::vector<std::pair<AnsiString, int>>& Idents) {
  if (V.kind == TPropValue::vkIdent)
    for (const auto& e : Idents)
      if (SameText(e.first, V.Str)) return e.second;
  if (V.kind == TPropValue::vkInteger) return static_cast<int>(V.Int);
  BadValue(Prop);
}

std::vector<int> SetValue(const TPropValue& V, const AnsiString& Prop,
                          const std::vector<std::pair<AnsiString, int>>& Idents) {
  if (V.kind != TPropValue::vkSet) BadValue(Prop);
  std::vector<int> r;
  for (const auto& id : V.Idents) {
    bool found = false;
    for (const auto& e : Idents)
      if (SameText(e.first, id)) {
        r.push_back(e.second);
        found = true;
      }
    if (!found) BadValue(Prop);
  }
  return r;
}

// ---------------------------------------------------------------- registry

namespace {

std::map<AnsiString, ClassInfo>& Registry() {
  static std::map<AnsiString, ClassInfo> r;
  return r;
}

AnsiString Key(const AnsiString& s) { return AsciiLower(s); }

// Property names compare without regard to (ASCII) case.
unsigned char FoldAscii(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

struct FoldHash {
  std::size_t operator()(std::string_view s) const noexcept {
    std::size_t h = 14695981039346656037ull;  // FNV-1a
    for (char c : s) h = (h ^ FoldAscii(c)) * 1099511628211ull;
    return h;
  }
};

struct FoldEqual {
  bool operator()(std::string_view a, std::string_view b) const noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
  }
};

// Built once per registered class: its own properties by name (the first
// of equal names wins, as in the table order) and its parent entry once
// that is registered.  Registry entries are assigned in place and never
// removed, so the pointers stay valid; registering a class again rebuilds
// its index.
struct ClassIndex {
  std::unordered_map<std::string_view, const PropInfo*, FoldHash, FoldEqual> Props;
  using Field = std::pair<AnsiString, std::function<bool(TComponent*, TComponent*)>>;
  std::unordered_map<std::string_view, const Field*, FoldHash, FoldEqual> Fields;
  mutable const ClassInfo* Parent = nullptr;
};

std::unordered_map<const ClassInfo*, ClassIndex>& Indexes() {
  static std::unordered_map<const ClassInfo*, ClassIndex> r;
  return r;
}

const ClassIndex* IndexOf(const ClassInfo* c) {
  auto& r = Indexes();
  auto it = r.find(c);
  return it == r.end() ? nullptr : &it->second;
}

const ClassInfo* ParentOf(const ClassInfo* c, const ClassIndex* index) {
  if (!index) return c->Parent();
  if (!index->Parent) index->Parent = c->Parent();
  return index->Parent;
}

// The form field of that name along the parent classes (case ignored).
const ClassIndex::Field* FindField(const ClassInfo* c, const AnsiString& Name) {
  for (; c;) {
    const ClassIndex* index = IndexOf(c);
    if (index) {
      auto it = index->Fields.find(std::string_view(Name));
      if (it != index->Fields.end()) return it->second;
    } else {
      for (const auto& f : c->Fields)
        if (SameText(f.first, Name)) return &f;
    }
    c = ParentOf(c, index);
  }
  return nullptr;
}

}  // namespace

void RegisterClassInfo(ClassInfo Info) {
  const AnsiString k = Key(Info.Name);
  ClassInfo& entry = Registry()[k];
  entry = std::move(Info);
  ClassIndex index;
  index.Props.reserve(entry.Props.size());
  for (const auto& p : entry.Props) index.Props.emplace(std::string_view(p.Name), &p);
  index.Fields.reserve(entry.Fields.size());
  for (const auto& f : entry.Fields) index.Fields.emplace(std::string_view(f.first), &f);
  Indexes()[&entry] = std::move(index);
}

const ClassInfo* FindClassInfo(const AnsiString& Name) {
  auto& r = Registry();
  auto it = r.find(Key(Name));
  return it == r.end() ? nullptr : &it->second;
}

const ClassInfo* ClassInfo::Parent() const { return ParentName.empty() ? nullptr : FindClassInfo(ParentName); }

const std::function<void(TComponent*, TComponent*)>* ClassInfo::FindSetParentComponent() const {
  for (const ClassInfo* c = this; c; c = c->Parent())
    if (c->SetParentComponent) return &c->SetParentComponent;
  return nullptr;
}

const PropInfo* ClassInfo::FindProp(const AnsiString& PropName) const {
  const ClassInfo* c = this;
  while (c) {
    const ClassIndex* index = IndexOf(c);
    if (!index) {
      // Not a registered entry (a copy): plain scan.
      for (const auto& p : c->Props)
        if (SameText(p.Name, PropName)) return &p;
      c = c->Parent();
      continue;
    }
    auto it = index->Props.find(std::string_view(PropName));
    if (it != index->Props.end()) return it->second;
    c = ParentOf(c, index);
  }
  return nullptr;
}

const MethodBinder* ClassInfo::FindMethod(const AnsiString& MethodName) const {
  for (const ClassInfo* c = this; c; c = c->Parent())
    for (const auto& m : c->Methods)
      if (SameText(m.first, MethodName)) return &m.second;
  return nullptr;
}

const ClassInfo* ClassInfoOf(const TObject* Instance) {
  if (!Instance) return nullptr;
  if (const ClassInfo* c = FindClassInfo(Instance->ClassName())) return c;
  if (Instance->ClassParentName())
    if (const ClassInfo* c = FindClassInfo(Instance->ClassParentName())) return c;
  // The nearest registered base: the one with the longest parent chain.
  const ClassInfo* best = nullptr;
  int bestDepth = -1;
  for (const auto& [k, info] : Registry()) {
    if (!Instance->InheritsFrom(info.Name.c_str())) continue;
    int depth = 0;
    for (const ClassInfo* c = &info; c; c = c->Parent()) ++depth;
    if (depth > bestDepth) {
      best = &info;
      bestDepth = depth;
    }
  }
  return best;
}

TComponent* CreateComponent(const AnsiString& ClassName, TComponent* Owner) {
  const ClassInfo* c = FindClassInfo(ClassName);
  if (!c || !c->Create) throw EClassNotFound("Klasse " + ClassName + " nicht gefunden");
  return c->Create(Owner);
}

// ---------------------------------------------------------------- parser

namespace {

struct Node {
  AnsiString Name, ClassName;
  bool Inherited = false;
  int Line = 0;
  std::vector<std::pair<AnsiString, TPropValue>> Props;
  std::vector<int> PropLines;
  std::vector<Node> Children;
};

class Parser {
public:
  explicit Parser(const AnsiString& t) : s(t) {}

  Node ParseObject() {
    SkipSpace();
    Node n;
    n.Line = line;
    const AnsiString kw = Ident();
    if (SameText(kw, "inherited"))
      n.Inherited = true;
    else if (!SameText(kw, "object") && !SameText(kw, "inline"))
      Error("'object' erwartet");
    SkipSpace();
    AnsiString first = Ident();
    SkipSpace();
    if (Peek() == ':') {
      ++p;
      SkipSpace();
      n.Name = first;
      n.ClassName = Ident();
    } else {
      n.ClassName = first;
    }
    SkipSpace();
    if (Peek() == '[') {  // [index] of inherited forms
      while (p < s.size() && s[p] != ']') ++p;
      ++p;
    }
    for (;;) {
      SkipSpace();
      if (p >= s.size()) Error("'end' erwartet");
      const std::size_t save = p;
      const int saveLine = line;
      const AnsiString word = Ident();
      if (SameText(word, "end")) break;
      if (SameText(word, "object") || SameText(word, "inherited") || SameText(word, "inline")) {
        p = save;
        line = saveLine;
        n.Children.push_back(ParseObject());
        continue;
      }
      AnsiString name = PropertyName(word);
      n.PropLines.push_back(line);
      n.Props.emplace_back(std::move(name), Value());
    }
    return n;
  }

  void ExpectEnd() {
    SkipSpace();
    if (p < s.size()) Error("Text nach 'end'");
  }

private:
  [[noreturn]] void Error(const AnsiString& what) {
    throw EReadError("Fehler beim Lesen der Fensterbeschreibung in Zeile " + IntToStr(line) + ": " + what);
  }
  char Peek() const { return p < s.size() ? s[p] : '\0'; }
  void SkipSpace() {
    while (p < s.size()) {
      const unsigned char c = static_cast<unsigned char>(s[p]);
      if (c == '\n') ++line;
      if (c <= ' ') {
        ++p;
        continue;
      }
      if (c == '/' && p + 1 < s.size() && s[p + 1] == '/') {  // comment to the end of the line
        while (p < s.size() && s[p] != '\n') ++p;
        continue;
      }
      break;
    }
  }
  static bool IdentChar(char c, bool first) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' ||
           (!first && std::isdigit(static_cast<unsigned char>(c)));
  }
  AnsiString Ident() {
    SkipSpace();
    const std::size_t b = p;
    if (!IdentChar(Peek(), true)) Error("Bezeichner erwartet");
    while (p < s.size() && IdentChar(s[p], false)) ++p;
    return s.substr(b, p - b);
  }
  // A property name that begins with First (dotted: Font.Name), and the '='
  // after it.
  AnsiString PropertyName(AnsiString First) {
    while (Peek() == '.') {
      ++p;
      First += "." + Ident();
    }
    SkipSpace();
    if (Peek() != '=') Error("'=' erwartet");
    ++p;
    return First;
  }
  AnsiString StringPart() {
    AnsiString r;
    for (;;) {
      if (Peek() == '\'') {
        ++p;
        for (;;) {
          if (p >= s.size() || s[p] == '\n') Error("Ende des Strings fehlt");
          if (s[p] == '\'') {
            if (p + 1 < s.size() && s[p + 1] == '\'') {
              r += '\'';
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          r += s[p++];
        }
      } else if (Peek() == '#') {
        ++p;
        std::size_t b = p;
        while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) ++p;
        if (b == p) Error("Zeichencode erwartet");
        const long code = std::strtol(s.substr(b, p - b).c_str(), nullptr, 10);
        if (code < 256) {
          r += static_cast<char>(code);
        } else {
          char c = '?';
          WideCharToAnsi(static_cast<char16_t>(code), c);
          r += c;
        }
      } else {
        break;
      }
    }
    return r;
  }
  TPropValue Value() {
    SkipSpace();
    const char c = Peek();
    if (c == '\'' || c == '#') return StringValue();
    if (c == '-' || c == '+' || std::isdigit(static_cast<unsigned char>(c)) || c == '$') return NumberValue();
    if (c == '[') return SetValue();
    if (c == '(') return ListValue();
    if (c == '{') return BinaryValue();
    if (c == '<') return CollectionValue();
    if (IdentChar(c, true)) return IdentValue();
    Error("Wert erwartet");
  }
  // 'text'#13'more' + 'on the next line'
  TPropValue StringValue() {
    TPropValue v;
    v.kind = TPropValue::vkString;
    v.Str = StringPart();
    for (;;) {
      SkipSpace();
      if (Peek() != '+') break;
      ++p;
      SkipSpace();
      v.Str += StringPart();
    }
    return v;
  }
  // A signed integer, decimal or $hex, or a float.
  TPropValue NumberValue() {
    const std::size_t b = p;
    const char sign = Peek();
    if (sign == '-' || sign == '+') ++p;
    if (Peek() == '$') return HexValue(sign == '-');
    bool isFloat = false;
    while (p < s.size() &&
           (std::isdigit(static_cast<unsigned char>(s[p])) || s[p] == '.' || s[p] == 'e' || s[p] == 'E')) {
      if (s[p] == '.' || s[p] == 'e' || s[p] == 'E') isFloat = true;
      ++p;
    }
    const AnsiString num = s.substr(b, p - b);
    TPropValue v;
    if (isFloat) {
      v.kind = TPropValue::vkFloat;
      v.Float = std::strtod(num.c_str(), nullptr);
    } else {
      v.kind = TPropValue::vkInteger;
      v.Int = std::strtoll(num.c_str(), nullptr, 10);
    }
    return v;
  }
  TPropValue HexValue(bool negative) {
    ++p;  // '$'
    const std::size_t hb = p;
    while (p < s.size() && std::isxdigit(static_cast<unsigned char>(s[p]))) ++p;
    if (hb == p) Error("Hexadezimalzahl erwartet");
    const std::uint64_t u = std::strtoull(s.substr(hb, p - hb).c_str(), nullptr, 16);
    TPropValue v;
    v.kind = TPropValue::vkInteger;
    v.Int = static_cast<std::int64_t>(u);
    // $FF000000 style colours are 32-bit values.
    if (p - hb == 8) v.Int = static_cast<std::int32_t>(static_cast<std::uint32_t>(u));
    if (negative) v.Int = -v.Int;
    return v;
  }
  // [ident, ident]
  TPropValue SetValue() {
    ++p;
    TPropValue v;
    v.kind = TPropValue::vkSet;
    for (;;) {
      SkipSpace();
      if (Peek() == ']') {
        ++p;
        break;
      }
      v.Idents.push_back(Ident());
      SkipSpace();
      if (Peek() == ',') ++p;
    }
    return v;
  }
  // (value value)
  TPropValue ListValue() {
    ++p;
    TPropValue v;
    v.kind = TPropValue::vkList;
    for (;;) {
      SkipSpace();
      if (Peek() == ')') {
        ++p;
        break;
      }
      if (p >= s.size()) Error("')' erwartet");
      v.Items.push_back(Value());
    }
    return v;
  }
  static int HexDigitValue(char h) {
    if (h >= '0' && h <= '9') return h - '0';
    if (h >= 'A' && h <= 'F') return h - 'A' + 10;
    if (h >= 'a' && h <= 'f') return h - 'a' + 10;
    return -1;
  }
  // {hex digits}, white space between them allowed.
  TPropValue BinaryValue() {
    ++p;
    TPropValue v;
    v.kind = TPropValue::vkBinary;
    int nibble = -1;
    for (;;) {
      if (p >= s.size()) Error("'}' erwartet");
      const char h = s[p++];
      if (h == '}') break;
      if (h == '\n') ++line;
      if (static_cast<unsigned char>(h) <= ' ') continue;
      const int d = HexDigitValue(h);
      if (d < 0) Error("Hexadezimalzeichen erwartet");
      if (nibble < 0) {
        nibble = d;
      } else {
        v.Binary.push_back(static_cast<Byte>(nibble * 16 + d));
        nibble = -1;
      }
    }
    if (nibble >= 0) Error("Bin\xE4rdaten unvollst\xE4ndig");
    return v;
  }
  // <item Name = value ... end item ... end>
  TPropValue CollectionValue() {
    ++p;
    TPropValue v;
    v.kind = TPropValue::vkCollection;
    for (;;) {
      SkipSpace();
      if (Peek() == '>') {
        ++p;
        break;
      }
      const AnsiString item = Ident();
      if (!SameText(item, "item")) Error("'item' erwartet");
      v.Collection.push_back(ItemProps());
    }
    return v;
  }
  std::vector<std::pair<AnsiString, TPropValue>> ItemProps() {
    std::vector<std::pair<AnsiString, TPropValue>> props;
    for (;;) {
      SkipSpace();
      const AnsiString w = Ident();
      if (SameText(w, "end")) break;
      AnsiString name = PropertyName(w);
      props.emplace_back(std::move(name), Value());
    }
    return props;
  }
  // An identifier, dotted for Form.Component references.
  TPropValue IdentValue() {
    TPropValue v;
    v.kind = TPropValue::vkIdent;
    v.Str = Ident();
    while (Peek() == '.') {
      ++p;
      v.Str += "." + Ident();
    }
    return v;
  }

  const AnsiString& s;
  std::size_t p = 0;
  int line = 1;
};

// ---------------------------------------------------------------- reader

struct Fixup {
  TPersistent* Instance;
  const PropInfo* Prop;
  AnsiString Target;
  AnsiString PropName;
};

class Reader {
public:
  explicit Reader(TComponent* root) : FRoot(root), FRootInfo(ClassInfoOf(root)) {}

  void Read(const Node& n) {
    FRoot->IncludeState(csLoading);
    FRoot->IncludeState(csReading);
    FLoaded.push_back(FRoot);
    if (!n.Name.empty() && FRoot->Name() != n.Name) FRoot->SetName(n.Name);
    Apply(FRoot, n);
    ReadChildren(n, dynamic_cast<TWinControl*>(FRoot), FRoot);
    for (const Fixup& f : FFixups) {
      TComponent* target = nullptr;
      if (!SameText(f.Target, "nil")) {
        AnsiString name = f.Target;
        const auto dot = name.find('.');
        if (dot != AnsiString::npos) {
          if (SameText(name.substr(0, dot), FRoot->Name())) name = name.substr(dot + 1);
        }
        target = SameText(name, FRoot->Name()) ? FRoot : FRoot->FindComponent(name);
        if (!target)
          throw EReadError("Ung\xFCltiger Eigenschaftswert: Komponente " + f.Target + " nicht gefunden");
      }
      if (!f.Prop->SetReference(f.Instance, target)) BadValue(f.PropName);
    }
    for (TComponent* c : FLoaded) c->ExcludeState(csReading);
    // The native windows of the controls read, made with their properties.
    if (auto* w = dynamic_cast<TWinControl*>(FRoot)) w->CreateChildHandles();
    for (TComponent* c : FLoaded) c->Loaded();
  }

private:
  void ReadChildren(const Node& n, TWinControl* parent, TComponent* enclosing) {
    for (const Node& child : n.Children) {
      TComponent* c = nullptr;
      if (child.Inherited) {
        c = FRoot->FindComponent(child.Name);
        if (!c) throw EReadError("Komponente " + child.Name + " nicht gefunden");
      } else {
        c = CreateComponent(child.ClassName, FRoot);
      }
      c->IncludeState(csLoading);
      c->IncludeState(csReading);
      FLoaded.push_back(c);
      if (!child.Name.empty()) c->SetName(child.Name);
      if (auto* ctl = dynamic_cast<TControl*>(c)) {
        if (parent && ctl->Parent() != parent) ctl->SetParent(parent);
      } else if (const ClassInfo* ci = ClassInfoOf(c)) {
        if (const auto* join = ci->FindSetParentComponent()) (*join)(c, enclosing);
      }
      BindField(c);
      Apply(c, child);
      auto* wc = dynamic_cast<TWinControl*>(c);
      ReadChildren(child, wc ? wc : parent, c);
    }
  }

  void BindField(TComponent* c) {
    if (c->Name().empty()) return;
    if (const auto* f = FindField(FRootInfo, c->Name()))
      if (!f->second(FRoot, c)) throw EReadError("Feld " + f->first + " passt nicht zur Klasse " + c->ClassName());
  }

  void Apply(TComponent* c, const Node& n) {
    // The component's class is looked up once for all its properties.
    const ClassInfo* info = n.Props.empty() ? nullptr : ClassInfoOf(c);
    for (std::size_t i = 0; i < n.Props.size(); ++i) SetProp(c, info, n.Props[i].first, n.Props[i].second);
  }

  // Sets the property path of inst, whose class entry is instInfo.
  void SetProp(TPersistent* inst, const ClassInfo* instInfo, const AnsiString& path, const TPropValue& v) {
    TPersistent* target = inst;
    AnsiString rest = path;
    for (;;) {
      const ClassInfo* info = target == inst ? instInfo : ClassInfoOf(target);
      const auto dot = rest.find('.');
      const AnsiString head = dot == AnsiString::npos ? rest : rest.substr(0, dot);
      const PropInfo* p = info ? info->FindProp(head) : nullptr;
      if (!p) throw EReadError("Fehler beim Lesen von " + path + ": Eigenschaft " + head + " existiert nicht");
      if (dot != AnsiString::npos) {
        if (p->kind != PropInfo::pkObject)
          throw EReadError("Eigenschaft " + head + " hat keine Untereigenschaften");
        target = p->GetObject(target);
        if (!target) throw EReadError("Eigenschaft " + head + " ist leer");
        rest = rest.substr(dot + 1);
        continue;
      }
      switch (p->kind) {
        case PropInfo::pkIgnored: return;
        case PropInfo::pkValue:
          if (p->SetOn)
            p->SetOn(target, v);
          else if (p->Set)
            p->Set(dynamic_cast<TComponent*>(target), v);
          return;
        case PropInfo::pkObject: {
          // A whole sub-object given as a value (e.g. a list for TStrings).
          TPersistent* sub = p->GetObject(target);
          const ClassInfo* si = ClassInfoOf(sub);
          const PropInfo* dp = si ? si->FindProp("") : nullptr;
          if (!dp) BadValue(path);
          dp->SetOn(sub, v);
          return;
        }
        case PropInfo::pkReference:
          if (v.kind != TPropValue::vkIdent) BadValue(path);
          FFixups.push_back({target, p, v.Str, path});
          return;
        case PropInfo::pkEvent: {
          if (v.kind != TPropValue::vkIdent) BadValue(path);
          if (SameText(v.Str, "nil")) return;
          const MethodBinder* m = FRootInfo ? FRootInfo->FindMethod(v.Str) : nullptr;
          if (!m) throw EReadError("Methode " + v.Str + " nicht gefunden");
          const std::any h = (*m)(FRoot);
          if (!h.has_value() || !p->SetEvent(target, h))
            throw EReadError("Methode " + v.Str + " passt nicht zum Ereignis " + path);
          return;
        }
      }
    }
  }

  TComponent* FRoot;
  const ClassInfo* FRootInfo;
  std::vector<TComponent*> FLoaded;
  std::vector<Fixup> FFixups;
};

}  // namespace

void ReadComponent(TComponent* Root, const AnsiString& Text) {
  Parser parser(Text);
  const Node n = parser.ParseObject();
  parser.ExpectEnd();
  if (!n.ClassName.empty() && !SameText(n.ClassName, Root->ClassName()) &&
      !Root->InheritsFrom(n.ClassName.c_str()))
    throw EReadError("Die Beschreibung gilt f\xFCr " + n.ClassName + ", nicht f\xFCr " + Root->ClassName());
  Reader(Root).Read(n);
}

// ---------------------------------------------------------------- tables of the core classes

namespace {

const std::initializer_list<std::pair<const char*, TAlign>> kAligns = {
    {"alNone", alNone},   {"alTop", alTop},       {"alBottom", alBottom}, {"alLeft", alLeft},
    {"alRight", alRight}, {"alClient", alClient}, {"alCustom", alCustom}};

TCursor CursorValue(const TPropValue& v, const AnsiString& prop) {
  static const std::vector<std::pair<AnsiString, int>> names = {
      {"crDefault", crDefault},     {"crNone", crNone},           {"crArrow", crArrow},
      {"crCross", crCross},         {"crIBeam", crIBeam},         {"crSizeNESW", crSizeNESW},
      {"crSizeNS", crSizeNS},       {"crSizeNWSE", crSizeNWSE},   {"crSizeWE", crSizeWE},
      {"crUpArrow", crUpArrow},     {"crHourGlass", crHourGlass}, {"crDrag", crDrag},
      {"crNoDrop", crNoDrop},       {"crHSplit", crHSplit},       {"crVSplit", crVSplit},
      {"crMultiDrag", crMultiDrag}, {"crSQLWait", crSQLWait},     {"crNo", crNo},
      {"crAppStart", crAppStart},   {"crHelp", crHelp},           {"crHandPoint", crHandPoint},
      {"crSizeAll", crSizeAll}};
  return static_cast<TCursor>(EnumValue(v, prop, names));
}

bool RegisterCore() {
  RegisterClass<TPersistent>("TPersistent", "").Done();
  RegisterClass<TComponent>("TComponent", "TPersistent")
      .NotCreatable()
      .Int64("Tag", [](TComponent* c, std::int64_t v) { c->SetTag(static_cast<std::intptr_t>(v)); })
      .Ignore("DesignInfo")
      .Done();
  // Lists: "Items.Strings = ('a' 'b')"; the unnamed entry takes a whole list.
  RegisterClass<TStrings>("TStrings", "TPersistent")
      .Raw("Strings",
           [](TStrings* s, const TPropValue& v) {
             if (v.kind != TPropValue::vkList) BadValue("Strings");
             s->BeginUpdate();
             s->Clear();
             for (const auto& item : v.Items) s->Add(item.AsString("Strings"));
             s->EndUpdate();
           })
      .Done();
  RegisterClass<TFont>("TFont", "TPersistent")
      .Str("Name", &TFont::SetName)
      .Int("Height", &TFont::SetHeight)
      .Int("Size", &TFont::SetSize)
      .Color("Color", &TFont::SetColor, clWindowText)
      .SetOf<TFontStyles, TFontStyle>(
          "Style",
          {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}},
          &TFont::SetStyle)
      .Raw("Charset",
           [](TFont* f, const TPropValue& v) {
             if (v.kind == TPropValue::vkInteger) {
               f->SetCharset(static_cast<TFontCharset>(v.Int));
               return;
             }
             static const std::vector<std::pair<AnsiString, int>> cs = {
                 {"ANSI_CHARSET", 0},         {"DEFAULT_CHARSET", 1},   {"SYMBOL_CHARSET", 2},
                 {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},     {"RUSSIAN_CHARSET", 204},
                 {"GREEK_CHARSET", 161},      {"TURKISH_CHARSET", 162}, {"BALTIC_CHARSET", 186},
                 {"SHIFTJIS_CHARSET", 128}};
             f->SetCharset(static_cast<TFontCharset>(EnumValue(v, "Charset", cs)));
           })
      .Enum<TFontPitch>("Pitch", {{"fpDefault", fpDefault}, {"fpVariable", fpVariable}, {"fpFixed", fpFixed}},
                        &TFont::SetPitch)
      .Int("Orientation", &TFont::SetOrientation)
      .Done();
  RegisterClass<TBrush>("TBrush", "TPersistent")
      .Color("Color", &TBrush::SetColor, clWhite)
      .Enum<TBrushStyle>("Style",
                         {{"bsSolid", bsSolid},
                          {"bsClear", bsClear},
                          {"bsHorizontal", bsHorizontal},
                          {"bsVertical", bsVertical},
                          {"bsFDiagonal", bsFDiagonal},
                          {"bsBDiagonal", bsBDiagonal},
                          {"bsCross", bsCross},
                          {"bsDiagCross", bsDiagCross}},
                         &TBrush::SetStyle)
      .Done();
  RegisterClass<TPen>("TPen", "TPersistent")
      .Color("Color", &TPen::SetColor, clBlack)
      .Enum<TPenStyle>("Style",
                       {{"psSolid", psSolid},
                        {"psDash", psDash},
                        {"psDot", psDot},
                        {"psDashDot", psDashDot},
                        {"psDashDotDot", psDashDotDot},
                        {"psClear", psClear},
                        {"psInsideFrame", psInsideFrame}},
                       &TPen::SetStyle, psSolid)
      .Enum<TPenMode>("Mode",
                      {{"pmBlack", pmBlack},
                       {"pmWhite", pmWhite},
                       {"pmNop", pmNop},
                       {"pmNot", pmNot},
                       {"pmCopy", pmCopy},
                       {"pmNotCopy", pmNotCopy},
                       {"pmMergePenNot", pmMergePenNot},
                       {"pmMaskPenNot", pmMaskPenNot},
                       {"pmMergeNotPen", pmMergeNotPen},
                       {"pmMaskNotPen", pmMaskNotPen},
                       {"pmMerge", pmMerge},
                       {"pmNotMerge", pmNotMerge},
                       {"pmMask", pmMask},
                       {"pmNotMask", pmNotMask},
                       {"pmXor", pmXor},
                       {"pmNotXor", pmNotXor}},
                      &TPen::SetMode, pmCopy)
      .Int("Width", &TPen::SetWidth, 1)
      .Done();
  RegisterClass<TSizeConstraints>("TSizeConstraints", "TPersistent")
      .Int("MinWidth", &TSizeConstraints::SetMinWidth, 0)
      .Int("MinHeight", &TSizeConstraints::SetMinHeight, 0)
      .Int("MaxWidth", &TSizeConstraints::SetMaxWidth, 0)
      .Int("MaxHeight", &TSizeConstraints::SetMaxHeight, 0)
      .Done();
  RegisterClass<TControl>("TControl", "TComponent")
      .NotCreatable()
      .Int("Left", &TControl::SetLeft)
      .Int("Top", &TControl::SetTop)
      .Int("Width", &TControl::SetWidth)
      .Int("Height", &TControl::SetHeight)
      .Enum<TAlign>("Align", kAligns, &TControl::SetAlign, alNone)
      .SetOf<TAnchors, TAnchorKind>(
          "Anchors", {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}},
          &TControl::SetAnchors)
      .Str("Caption", &TControl::SetCaption)
      .Str("Text", &TControl::SetText)
      .Color("Color", &TControl::SetColor)
      .Bool("ParentColor", &TControl::SetParentColor)
      .Object("Font", [](TControl* c) -> TPersistent* { return c->Font(); })
      .Bool("ParentFont", &TControl::SetParentFont, true)
      .Bool("Ctl3D", &TControl::SetCtl3D)
      .Bool("ParentCtl3D", &TControl::SetParentCtl3D, true)
      .Bool("Visible", &TControl::SetVisible, true)
      .Bool("Enabled", &TControl::SetEnabled, true)
      .Str("Hint", &TControl::SetHint)
      .Bool("ShowHint", &TControl::SetShowHint)
      .Bool("ParentShowHint", &TControl::SetParentShowHint, true)
      .Raw("Cursor", [](TControl* c, const TPropValue& v) { c->SetCursor(CursorValue(v, "Cursor")); })
      .Raw("DragCursor", [](TControl* c, const TPropValue& v) { c->SetDragCursor(CursorValue(v, "DragCursor")); })
      .Enum<TDragMode>("DragMode", {{"dmManual", dmManual}, {"dmAutomatic", dmAutomatic}}, &TControl::SetDragMode,
                       dmManual)
      .Enum<THelpType>("HelpType", {{"htKeyword", htKeyword}, {"htContext", htContext}}, &TControl::SetHelpType,
                       htContext)
      .Str("HelpKeyword", &TControl::SetHelpKeyword)
      .Int("HelpContext", &TControl::SetHelpContext, 0)
      .Object("Constraints", [](TControl* c) -> TPersistent* { return c->Constraints(); })
      .Ref<TComponent>("PopupMenu",
                       [](TControl* c, TComponent* m) {
                         if (m && !m->InheritsFrom("TPopupMenu")) BadValue("PopupMenu");
                         c->SetPopupMenu(reinterpret_cast<TPopupMenu*>(m));
                       })
      .Event("OnClick", &TControl::OnClick)
      .Event("OnDblClick", &TControl::OnDblClick)
      .Event("OnMouseDown", &TControl::OnMouseDown)
      .Event("OnMouseUp", &TControl::OnMouseUp)
      .Event("OnMouseMove", &TControl::OnMouseMove)
      .Event("OnResize", &TControl::OnResize)
      .Ignore("BiDiMode")
      .Ignore("ParentBiDiMode")
      .Ignore("DockSite")
      .Ignore("DragKind")
      .Done();
  RegisterClass<TWinControl>("TWinControl", "TControl")
      .Int("TabOrder", [](TWinControl* c, int v) { c->SetTabOrder(v); })
      .Bool("TabStop", &TWinControl::SetTabStop)
      .Enum<TImeMode>("ImeMode",
                      {{"imDisable", imDisable},
                       {"imClose", imClose},
                       {"imOpen", imOpen},
                       {"imDontCare", imDontCare},
                       {"imSAlpha", imSAlpha},
                       {"imAlpha", imAlpha},
                       {"imHira", imHira},
                       {"imSKata", imSKata},
                       {"imKata", imKata},
                       {"imChinese", imChinese},
                       {"imSHanguel", imSHanguel},
                       {"imHanguel", imHanguel}},
                      &TWinControl::SetImeMode, imDontCare)
      .Str("ImeName", &TWinControl::SetImeName)
      .Event("OnEnter", &TWinControl::OnEnter)
      .Event("OnExit", &TWinControl::OnExit)
      .Event("OnKeyDown", &TWinControl::OnKeyDown)
      .Event("OnKeyPress", &TWinControl::OnKeyPress)
      .Event("OnKeyUp", &TWinControl::OnKeyUp)
      .Done();
  RegisterClass<TCustomForm>("TCustomForm", "TWinControl")
      .NotCreatable()
      .Ref<TWinControl>("ActiveControl", &TCustomForm::SetActiveControl)
      .Bool("KeyPreview", &TCustomForm::SetKeyPreview, false)
      .Enum<TFormBorderStyle>("BorderStyle",
                              {{"bsNone", bsNone},
                               {"bsSingle", bsSingle},
                               {"bsSizeable", bsSizeable},
                               {"bsDialog", bsDialog},
                               {"bsToolWindow", bsToolWindow},
                               {"bsSizeToolWin", bsSizeToolWin}},
                              &TCustomForm::SetBorderStyle, bsSizeable)
      .SetOf<TBorderIcons, TBorderIcon>("BorderIcons",
                                        {{"biSystemMenu", biSystemMenu},
                                         {"biMinimize", biMinimize},
                                         {"biMaximize", biMaximize},
                                         {"biHelp", biHelp}},
                                        &TCustomForm::SetBorderIcons)
      .Enum<TPosition>("Position",
                       {{"poDesigned", poDesigned},
                        {"poDefault", poDefault},
                        {"poDefaultPosOnly", poDefaultPosOnly},
                        {"poDefaultSizeOnly", poDefaultSizeOnly},
                        {"poScreenCenter", poScreenCenter},
                        {"poDesktopCenter", poDesktopCenter},
                        {"poMainFormCenter", poMainFormCenter},
                        {"poOwnerFormCenter", poOwnerFormCenter}},
                       &TCustomForm::SetPosition, poDesigned)
      .Enum<TWindowState>("WindowState",
                          {{"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}},
                          &TCustomForm::SetWindowState, wsNormal)
      .Enum<TFormStyle>("FormStyle",
                        {{"fsNormal", fsNormal},
                         {"fsMDIChild", fsMDIChild},
                         {"fsMDIForm", fsMDIForm},
                         {"fsStayOnTop", fsStayOnTop}},
                        &TCustomForm::SetFormStyle, fsNormal)
      .Int("ClientWidth", &TControl::SetClientWidth)
      .Int("ClientHeight", &TControl::SetClientHeight)
      .Event("OnCreate", &TCustomForm::OnCreate)
      .Event("OnDestroy", &TCustomForm::OnDestroy)
      .Event("OnShow", &TCustomForm::OnShow)
      .Event("OnHide", &TCustomForm::OnHide)
      .Event("OnActivate", &TCustomForm::OnActivate)
      .Event("OnDeactivate", &TCustomForm::OnDeactivate)
      .Event("OnClose", &TCustomForm::OnClose)
      .Event("OnCloseQuery", &TCustomForm::OnCloseQuery)
      .Event("OnPaint", &TCustomForm::OnPaint)
      .Ignore("OldCreateOrder")
      .Ignore("PixelsPerInch")
      .Ignore("TextHeight")
      .Ignore("Scaled")
      .Ignore("AutoScroll")
      .Done();
  RegisterClass<TForm>("TForm", "TCustomForm").Done();
  return true;
}

const bool coreRegistered = RegisterCore();

}  // namespace

}  // namespace platform
