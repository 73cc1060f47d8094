// Menus over QMenu.
#include "platform/gui/menus.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include <algorithm>

#include "platform/gui/qt_internal.h"
#include "platform/gui/streaming.h"
#include "platform/rtl/sysutils.h"

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  Clear();
  if (FParent) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) TList::Error(platform::msg::ListIndexError, Index);
  return FItems[static_cast<std::size_t>(Index)];
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(const_cast<TMenuItem*>(this)) : -1; }

int TMenuItem::IndexOf(TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent)
    throw EInvalidOperation(
        "Men\xFC"
        "eintrag wird bereits verwendet");
  if (Index < 0 || Index > Count()) TList::Error(platform::msg::ListIndexError, Index);
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
  const int i = IndexOf(Item);
  if (i < 0) return;
  FItems.erase(FItems.begin() + i);
  Item->FParent = nullptr;
}

void TMenuItem::Delete(int Index) {
  TMenuItem* item = Items(Index);
  Remove(item);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* item = FItems.back();
    Remove(item);
    delete item;
  }
}

TMenuItem* TMenuItem::Find(const AnsiString& ACaption) const {
  auto plain = [](AnsiString s) {
    s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
    return s;
  };
  for (TMenuItem* item : FItems)
    if (AnsiSameText(plain(item->FCaption), plain(ACaption))) return item;
  return nullptr;
}

void TMenuItem::Click() {
  if (FEnabled && OnClick) OnClick(this);
}

// ---------------------------------------------------------------- TMenu, TPopupMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(this)) {}

TMenu::~TMenu() = default;  // the root item is an owned component

void TMenu::Loaded() { TComponent::Loaded(); }

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

namespace {

// Builds the Qt menu of an item's entries; each action finds its item again
// by a weak reference, so a freed item does nothing.
class ItemRef : public TComponent {
public:
  explicit ItemRef(TMenuItem* Item) : TComponent(nullptr), FItem(Item) { Item->FreeNotification(this); }
  ~ItemRef() override {
    if (FItem) FItem->RemoveFreeNotification(this);
  }
  TMenuItem* Item() const { return FItem; }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FItem) FItem = nullptr;
  }

private:
  TMenuItem* FItem;
};

void FillMenu(QMenu* Menu, TMenuItem* Parent) {
  for (int i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    if (!item->Visible()) continue;
    if (item->IsLine()) {
      Menu->addSeparator();
      continue;
    }
    if (item->Count() > 0) {
      QMenu* sub = Menu->addMenu(platform::ToQString(item->Caption()));
      sub->setEnabled(item->Enabled());
      FillMenu(sub, item);
      continue;
    }
    QAction* a = Menu->addAction(platform::ToQString(item->Caption()));
    a->setEnabled(item->Enabled());
    a->setCheckable(item->Checked());
    a->setChecked(item->Checked());
    auto ref = std::make_shared<ItemRef>(item);
    QObject::connect(a, &QAction::triggered, [ref] {
      platform::Guarded([ref] {
        if (TMenuItem* it = ref->Item()) it->Click();
      });
    });
  }
}

}  // namespace

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  auto* menu = new QMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  FillMenu(menu, Items());
  if (menu->isEmpty()) {
    delete menu;
    return;
  }
  menu->popup(QPoint(X, Y));
}

// ---------------------------------------------------------------- published properties

namespace {

const bool registered = [] {
  using platform::RegisterClass;
  platform::SetPopupMenuHandler([](TPopupMenu* Menu, int X, int Y) {
    if (Menu && Menu->AutoPopup()) Menu->Popup(X, Y);
  });
  RegisterClass<TMenuItem>("TMenuItem", "TComponent")
      // Nested in a window description: the item belongs to the enclosing
      // menu, or to the enclosing item as a submenu entry.
      .ParentComponent([](TMenuItem* Item, TComponent* Parent) {
        if (Item->Parent()) return;
        if (auto* menu = dynamic_cast<TMenu*>(Parent))
          menu->Items()->Add(Item);
        else if (auto* parentItem = dynamic_cast<TMenuItem*>(Parent))
          parentItem->Add(Item);
      })
      .Str("Caption", &TMenuItem::SetCaption)
      .Bool("Checked", &TMenuItem::SetChecked, false)
      .Bool("Enabled", &TMenuItem::SetEnabled, true)
      .Bool("Visible", &TMenuItem::SetVisible, true)
      .Bool("Default", &TMenuItem::SetDefault, false)
      .Bool("RadioItem", &TMenuItem::SetRadioItem, false)
      .Int("GroupIndex", &TMenuItem::SetGroupIndex, 0)
      .Int(
          "ShortCut", [](TMenuItem* m, int v) { m->SetShortCut(static_cast<TShortCut>(v)); }, 0)
      .Str("Hint", &TMenuItem::SetHint)
      .Event("OnClick", &TMenuItem::OnClick)
      .Ignore("ImageIndex")
      .Done();
  RegisterClass<TMenu>("TMenu", "TComponent").NotCreatable().Ignore("Images").Done();
  RegisterClass<TPopupMenu>("TPopupMenu", "TMenu")
      .Bool("AutoPopup", &TPopupMenu::SetAutoPopup, true)
      .Enum<TPopupAlignment>("Alignment", {{"paLeft", paLeft}, {"paRight", paRight}, {"paCenter", paCenter}},
                             &TPopupMenu::SetAlignment, paLeft)
      .Event("OnPopup", &TPopupMenu::OnPopup)
      .Done();
  return true;
}();

}  // namespace
