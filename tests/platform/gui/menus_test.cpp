// TMenuItem and TPopupMenu.
#include <gtest/gtest.h>

#include "platform/gui/forms.h"
#include "platform/gui/menus.h"

namespace {

TEST(MenuItem, ItemsClicksAndOwnership) {
  TForm form(nullptr);
  auto* menu = new TPopupMenu(&form);
  auto* a = new TMenuItem(&form);
  a->SetCaption("&Debug L\xF6schen");
  auto* b = new TMenuItem(&form);
  b->SetCaption("-");
  menu->Items()->Add(a);
  menu->Items()->Insert(0, b);
  EXPECT_EQ(menu->Items()->Count(), 2);
  EXPECT_EQ(a->MenuIndex(), 1);
  EXPECT_EQ(a->Parent(), menu->Items());
  EXPECT_TRUE(b->IsLine());
  EXPECT_EQ(menu->Items()->Find("debug l\xD6schen"), a);
  EXPECT_THROW(menu->Items()->Items(2), EListError);
  EXPECT_THROW(menu->Items()->Add(a), EInvalidOperation);  // already in a menu

  int clicks = 0;
  a->OnClick = [&](TObject*) { ++clicks; };
  a->Click();
  a->SetEnabled(false);
  a->Click();
  EXPECT_EQ(clicks, 1);

  // A freed item leaves its menu.
  delete b;
  EXPECT_EQ(menu->Items()->Count(), 1);
  EXPECT_EQ(a->MenuIndex(), 0);
}

TEST(PopupMenu, PopupFiresOnPopupAndControlsForgetAFreedMenu) {
  TForm form(nullptr);
  auto* menu = new TPopupMenu(&form);
  auto* item = new TMenuItem(&form);
  item->SetName("Eintrag1");
  item->SetCaption("Eintrag");
  menu->Items()->Add(item);
  int popups = 0;
  menu->OnPopup = [&](TObject*) { ++popups; };
  menu->Popup(10, 10);
  EXPECT_EQ(popups, 1);
  auto* control = new TWinControl(&form);
  control->SetPopupMenu(menu);
  delete menu;  // its items go with it
  EXPECT_EQ(control->PopupMenu(), nullptr);
  EXPECT_EQ(form.FindComponent("Eintrag1"), nullptr);
}

}  // namespace
