// Menus of the GUI class library: TMenuItem, TMenu, TPopupMenu.
#pragma once

#include <vector>

#include "platform/gui/controls.h"
#include "platform/rtl/classes.h"

using TShortCut = Word;

// One entry of a menu, with entries of its own (a submenu).  A caption of
// "-" is a separator line.  An item frees the items under it and leaves its
// parent when it is freed.
class TMenuItem : public TComponent {
  ZEL_CLASS(TMenuItem, TComponent)
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value) { FCaption = Value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { FChecked = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool Value) { FDefault = Value; }
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value) { FRadioItem = Value; }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value) { FHint = Value; }
  bool IsLine() const { return FCaption == "-"; }

  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;  // EListError out of range
  TMenuItem* operator[](int Index) const { return Items(Index); }
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const;
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  void Remove(TMenuItem* Item);
  void Delete(int Index);
  void Clear();  // frees the items
  int IndexOf(TMenuItem* Item) const;
  TMenuItem* Find(const AnsiString& ACaption) const;  // "&" ignored, case ignored

  // Fires OnClick (when Enabled).
  virtual void Click();
  TNotifyEvent OnClick;

private:
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  AnsiString FCaption;
  AnsiString FHint;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  bool FRadioItem = false;
  int FGroupIndex = 0;
  TShortCut FShortCut = 0;
};

class TMenu : public TComponent {
  ZEL_CLASS(TMenu, TComponent)
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  TMenuItem* Items() const { return FItems; }
  void Loaded() override;

private:
  TMenuItem* FItems;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

// A context menu.  A control whose PopupMenu it is opens it at the mouse
// on a right click (or the menu key).
class TPopupMenu : public TMenu {
  ZEL_CLASS(TPopupMenu, TMenu)
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;
  // Fires OnPopup and shows the menu at the screen position.
  virtual void Popup(int X, int Y);
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  TNotifyEvent OnPopup;

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TComponent* FPopupComponent = nullptr;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
};
