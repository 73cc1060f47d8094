// Window descriptions: the class registry, the property tables of the
// published properties, and the reader.
//
// A description is the class library's form text:
//     object frmMAIN: TfrmMAIN
//       Left = 10
//       Caption = 'ZEL-WebDienst'          strings in '...', #nnn codes, joined with +
//       Font.Height = -11                  properties of sub-objects by dotted name
//       BorderIcons = [biSystemMenu]       sets
//       Items.Strings = ('a' 'b')          lists
//       Picture.Data = {0A54...}           binary data as hex
//       OnCreate = FormCreate              events: handlers of the root by name
//       PopupMenu = pu                     references: components by name
//       object Panel1: TPanel ... end      nested components (owner: the root;
//     end                                  parent: the enclosing control)
// Reading: each component is created through the registry with the root as
// owner, named, given its parent, put into csLoading and bound to the
// root's field of that name; its properties are set in the order they
// stand through its class's property table; a property the description
// does not name keeps the constructor's value.  Events are bound to the
// root's registered handlers at once; references are resolved after the
// whole text is read; then Loaded runs on every component read, the root
// first and then in the order they stand.  Errors raise EReadError.
//
// Registration, in the .cpp of the class (the object file that holds the
// class's code, so the linker keeps it):
//     static const bool registered = platform::RegisterClass<TKComboBox>("TKComboBox", "TKCustomComboBox")
//         .Int("KeyPos", &TKComboBox::SetKeyPos, 1)
//         .Str("ColWidths", &TKComboBox::SetColWidths)
//         .Enum<TComboBoxStyle>("Style", {{"csDropDown", csDropDown}, ...}, &TKComboBox::SetStyle)
//         .Color("ColorChanged", &TKComboBox::SetColorChanged, clBlue)
//         .Object("Font", [](TKComboBox* c) -> TPersistent* { return c->Font(); })
//         .Ref<TDataSource>("DataSource", &TKComboBox::SetDataSource)
//         .Event("OnGetText", &TKComboBox::OnGetText)
//         .Done();
// A form class registers its component fields and handlers:
//     platform::RegisterClass<TfrmMAIN>("TfrmMAIN", "TForm")
//         .Field("edUser", &TfrmMAIN::edUser)
//         .Method("btLoginClick", &TfrmMAIN::btLoginClick)
//         .Done();
// Properties and handlers are inherited along the parent names.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/gui/graphics.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

namespace platform {

// One value of a description.
struct TPropValue {
  enum Kind { vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkBinary, vkCollection };
  Kind kind = vkInteger;
  std::int64_t Int = 0;
  double Float = 0;
  AnsiString Str;                  // string text (Windows-1252) or identifier
  std::vector<AnsiString> Idents;  // set elements
  std::vector<TPropValue> Items;   // list elements
  std::vector<Byte> Binary;
  // Collection items: each a list of (property name, value).
  std::vector<std::vector<std::pair<AnsiString, TPropValue>>> Collection;

  // Conversions that raise EReadError with the property name on a mismatch.
  std::int64_t AsInteger(const AnsiString& Prop) const;
  double AsFloat(const AnsiString& Prop) const;
  bool AsBoolean(const AnsiString& Prop) const;
  AnsiString AsString(const AnsiString& Prop) const;  // a string, or an identifier's text
  AnsiString AsIdent(const AnsiString& Prop) const;
};

class ReaderContext;

// A property of a class's table.
struct PropInfo {
  enum Kind { pkValue, pkObject, pkReference, pkEvent, pkIgnored };
  AnsiString Name;
  Kind kind = pkValue;
  std::optional<TPropValue> Default;  // the declared default, if any
  // pkValue: sets the value.
  std::function<void(TComponent* Instance, const TPropValue& Value)> Set;
  // Properties of persistent objects that are not components (TFont ...)
  // use SetOn / GetOn, which take a TPersistent.
  std::function<void(TPersistent* Instance, const TPropValue& Value)> SetOn;
  // pkObject: the sub-object whose properties follow after the dot.
  std::function<TPersistent*(TPersistent* Instance)> GetObject;
  // pkReference: sets the component found by name (nullptr for "nil");
  // false when it is of the wrong class.
  std::function<bool(TPersistent* Instance, TComponent* Target)> SetReference;
  // pkEvent: takes the root's handler (a std::function held in std::any);
  // false when its type does not fit the event.
  std::function<bool(TPersistent* Instance, const std::any& Handler)> SetEvent;
};

// A bound handler of a root, for event properties.
using MethodBinder = std::function<std::any(TComponent* Root)>;

struct ClassInfo {
  AnsiString Name;
  AnsiString ParentName;
  std::function<TComponent*(TComponent* Owner)> Create;  // empty: not creatable
  std::vector<PropInfo> Props;
  std::vector<std::pair<AnsiString, MethodBinder>> Methods;
  // For components that are no controls: told of the component whose
  // "object ... end" encloses them (a menu item of its menu or parent item).
  std::function<void(TComponent* Child, TComponent* Parent)> SetParentComponent;
  // Form fields: assigns a component read under that name.
  std::vector<std::pair<AnsiString, std::function<bool(TComponent* Root, TComponent* C)>>> Fields;

  // Along the parent names (case ignored); nullptr when none.
  const PropInfo* FindProp(const AnsiString& PropName) const;
  const MethodBinder* FindMethod(const AnsiString& MethodName) const;
  const ClassInfo* Parent() const;
  // SetParentComponent of this class or the nearest base that has one.
  const std::function<void(TComponent*, TComponent*)>* FindSetParentComponent() const;
};

// Registry.  Registering a name again replaces the entry.
void RegisterClassInfo(ClassInfo Info);
const ClassInfo* FindClassInfo(const AnsiString& Name);
// The entry of an object's class: its own name, else the nearest
// registered base (by InheritsFrom).
const ClassInfo* ClassInfoOf(const TObject* Instance);
// Creates a component of a registered class; EClassNotFound when unknown.
TComponent* CreateComponent(const AnsiString& ClassName, TComponent* Owner);

// Reads a description into Root (see the top of this file).
void ReadComponent(TComponent* Root, const AnsiString& Text);

// Value helpers of the builders (EReadError on a mismatch).
[[noreturn]] void BadValue(const AnsiString& Prop);
TColor ColorValue(const TPropValue& V, const AnsiString& Prop);
int EnumValue(const TPropValue& V, const AnsiString& Prop, const std::vector<std::pair<AnsiString, int>>& Idents);
std::vector<int> SetValue(const TPropValue& V, const AnsiString& Prop,
                          const std::vector<std::pair<AnsiString, int>>& Idents);

template <class T>
class ClassBuilder {
public:
  ClassBuilder(const char* Name, const char* ParentName) {
    FInfo.Name = Name;
    FInfo.ParentName = ParentName ? ParentName : "";
    FInfo.Props.reserve(32);  // most classes have fewer: no moves while they are added
    if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
      FInfo.Create = [](TComponent* Owner) -> TComponent* { return new T(Owner); };
  }
  ClassBuilder& Creator(std::function<TComponent*(TComponent*)> Fn) {
    FInfo.Create = std::move(Fn);
    return *this;
  }
  ClassBuilder& NotCreatable() {
    FInfo.Create = nullptr;
    return *this;
  }

  ClassBuilder& Raw(const char* Name, std::function<void(T*, const TPropValue&)> Set,
                    std::optional<TPropValue> Default = std::nullopt) {
    PropInfo p;
    p.Name = Name;
    p.Default = std::move(Default);
    p.SetOn = [Set, n = AnsiString(Name)](TPersistent* I, const TPropValue& V) { Set(Cast(I, n), V); };
    FInfo.Props.push_back(std::move(p));
    return *this;
  }
  ClassBuilder& Int(const char* Name, std::function<void(T*, int)> Set,
                    std::optional<std::int64_t> Default = std::nullopt) {
    return Raw(
        Name, [Set, n = AnsiString(Name)](T* I, const TPropValue& V) { Set(I, static_cast<int>(V.AsInteger(n))); },
        IntDefault(Default));
  }
  ClassBuilder& Int64(const char* Name, std::function<void(T*, std::int64_t)> Set) {
    return Raw(Name, [Set, n = AnsiString(Name)](T* I, const TPropValue& V) { Set(I, V.AsInteger(n)); });
  }
  ClassBuilder& Float(const char* Name, std::function<void(T*, double)> Set) {
    return Raw(Name, [Set, n = AnsiString(Name)](T* I, const TPropValue& V) { Set(I, V.AsFloat(n)); });
  }
  ClassBuilder& Bool(const char* Name, std::function<void(T*, bool)> Set,
                     std::optional<bool> Default = std::nullopt) {
    std::optional<TPropValue> d;
    if (Default) {
      TPropValue v;
      v.kind = TPropValue::vkIdent;
      v.Str = *Default ? "True" : "False";
      d = v;
    }
    return Raw(
        Name, [Set, n = AnsiString(Name)](T* I, const TPropValue& V) { Set(I, V.AsBoolean(n)); }, d);
  }
  ClassBuilder& Str(const char* Name, std::function<void(T*, const AnsiString&)> Set) {
    return Raw(Name, [Set, n = AnsiString(Name)](T* I, const TPropValue& V) { Set(I, V.AsString(n)); });
  }
  // A colour: clXxx identifier or number.
  ClassBuilder& Color(const char* Name, std::function<void(T*, TColor)> Set,
                      std::optional<TColor> Default = std::nullopt) {
    return Raw(
        Name, [Set, n = AnsiString(Name)](T* I, const TPropValue& V) { Set(I, ColorValue(V, n)); },
        IntDefault(Default ? std::optional<std::int64_t>(*Default) : std::nullopt));
  }
  template <class E>
  ClassBuilder& Enum(const char* Name, std::initializer_list<std::pair<const char*, E>> Idents,
                     std::function<void(T*, E)> Set, std::optional<E> Default = std::nullopt) {
    std::vector<std::pair<AnsiString, E>> table(Idents.begin(), Idents.end());
    std::optional<TPropValue> d;
    if (Default)
      for (auto& e : table)
        if (e.second == *Default) {
          TPropValue v;
          v.kind = TPropValue::vkIdent;
          v.Str = e.first;
          d = v;
        }
    return Raw(
        Name,
        [Set, table, n = AnsiString(Name)](T* I, const TPropValue& V) {
          Set(I, static_cast<E>(EnumValue(V, n, ToIntTable(table))));
        },
        d);
  }
  // A set of an enumeration (S = Set<E, ...>).
  template <class S, class E>
  ClassBuilder& SetOf(const char* Name, std::initializer_list<std::pair<const char*, E>> Idents,
                      std::function<void(T*, S)> Set) {
    std::vector<std::pair<AnsiString, E>> table(Idents.begin(), Idents.end());
    return Raw(Name, [Set, table, n = AnsiString(Name)](T* I, const TPropValue& V) {
      S s;
      for (int e : SetValue(V, n, ToIntTable(table))) s << static_cast<E>(e);
      Set(I, s);
    });
  }
  ClassBuilder& Binary(const char* Name, std::function<void(T*, const std::vector<Byte>&)> Set) {
    return Raw(Name, [Set, n = AnsiString(Name)](T* I, const TPropValue& V) {
      if (V.kind != TPropValue::vkBinary) BadValue(n);
      Set(I, V.Binary);
    });
  }
  // A sub-object whose properties are named "Name.Prop".
  ClassBuilder& Object(const char* Name, std::function<TPersistent*(T*)> Get) {
    PropInfo p;
    p.Name = Name;
    p.kind = PropInfo::pkObject;
    p.GetObject = [Get, n = AnsiString(Name)](TPersistent* I) { return Get(Cast(I, n)); };
    FInfo.Props.push_back(std::move(p));
    return *this;
  }
  template <class C>
  ClassBuilder& Ref(const char* Name, std::function<void(T*, C*)> Set) {
    PropInfo p;
    p.Name = Name;
    p.kind = PropInfo::pkReference;
    p.SetReference = [Set, n = AnsiString(Name)](TPersistent* I, TComponent* Target) {
      C* c = nullptr;
      if (Target) {
        c = dynamic_cast<C*>(Target);
        if (!c) return false;
      }
      Set(Cast(I, n), c);
      return true;
    };
    FInfo.Props.push_back(std::move(p));
    return *this;
  }
  // An event field of type Ev (a std::function); the root's handler must
  // have exactly that signature.
  template <class Ev, class Owner>
  ClassBuilder& Event(const char* Name, Ev Owner::*Member) {
    PropInfo p;
    p.Name = Name;
    p.kind = PropInfo::pkEvent;
    p.SetEvent = [Member, n = AnsiString(Name)](TPersistent* I, const std::any& H) {
      const Ev* fn = std::any_cast<Ev>(&H);
      if (!fn) return false;
      Cast(I, n)->*Member = *fn;
      return true;
    };
    FInfo.Props.push_back(std::move(p));
    return *this;
  }
  // How a nested component that is no control joins the enclosing one.
  ClassBuilder& ParentComponent(std::function<void(T*, TComponent*)> Fn) {
    FInfo.SetParentComponent = [Fn](TComponent* Child, TComponent* Parent) {
      if (T* t = dynamic_cast<T*>(Child)) Fn(t, Parent);
    };
    return *this;
  }
  // Stored in descriptions but without effect in this layer.
  ClassBuilder& Ignore(const char* Name) {
    PropInfo p;
    p.Name = Name;
    p.kind = PropInfo::pkIgnored;
    FInfo.Props.push_back(std::move(p));
    return *this;
  }
  // A form's field that receives the component read under that name.
  template <class C, class Owner>
  ClassBuilder& Field(const char* Name, C* Owner::*Member) {
    FInfo.Fields.emplace_back(Name, [Member](TComponent* Root, TComponent* Comp) {
      T* r = dynamic_cast<T*>(Root);
      C* c = dynamic_cast<C*>(Comp);
      if (!r || !c) return false;
      r->*Member = c;
      return true;
    });
    return *this;
  }
  // A handler of the root for event properties.
  template <class R, class Owner, class... A>
  ClassBuilder& Method(const char* Name, R (Owner::*M)(A...)) {
    FInfo.Methods.emplace_back(Name, [M](TComponent* Root) -> std::any {
      T* r = dynamic_cast<T*>(Root);
      if (!r) return std::any();
      return std::any(std::function<R(A...)>([r, M](A... a) { return (r->*M)(std::forward<A>(a)...); }));
    });
    return *this;
  }
  // Registers the class; returns true (for a static initialiser).
  bool Done() {
    RegisterClassInfo(std::move(FInfo));
    return true;
  }

private:
  static T* Cast(TPersistent* I, const AnsiString& Prop) {
    T* t = dynamic_cast<T*>(I);
    if (!t) BadValue(Prop);
    return t;
  }
  template <class E>
  static std::vector<std::pair<AnsiString, int>> ToIntTable(const std::vector<std::pair<AnsiString, E>>& t) {
    std::vector<std::pair<AnsiString, int>> r;
    for (auto& e : t) r.emplace_back(e.first, static_cast<int>(e.second));
    return r;
  }
  static std::optional<TPropValue> IntDefault(std::optional<std::int64_t> d) {
    if (!d) return std::nullopt;
    TPropValue v;
    v.Int = *d;
    return v;
  }
  ClassInfo FInfo;
};

template <class T>
ClassBuilder<T> RegisterClass(const char* Name, const char* ParentName) {
  return ClassBuilder<T>(Name, ParentName);
}

}  // namespace platform

class EClassNotFound : public EFilerError {
public:
  using EFilerError::EFilerError;
  const char* ClassName() const override { return "EClassNotFound"; }
};
