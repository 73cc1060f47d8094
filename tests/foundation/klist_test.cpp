// The object list under the KCSV tables.
#include "foundation/klist.h"

#include <gtest/gtest.h>

namespace {

class TCounted : public TObject {
public:
  explicit TCounted(int& Alive) : FAlive(Alive) { ++FAlive; }
  ~TCounted() override { --FAlive; }

private:
  int& FAlive;
};

}  // namespace

TEST(KList, OwnedItemsAreFreedByClearAndDestructor) {
  int Alive = 0;
  {
    TKList L;
    EXPECT_TRUE(L.OwnsObjects());
    for (int I = 0; I < 3; ++I) L.Add(new TCounted(Alive));
    EXPECT_EQ(L.Count(), 3);
    EXPECT_EQ(Alive, 3);
    L.Clear();
    EXPECT_EQ(L.Count(), 0);
    EXPECT_EQ(Alive, 0);
    L.Add(new TCounted(Alive));
    L.Add(nullptr);
    EXPECT_EQ(Alive, 1);
  }
  EXPECT_EQ(Alive, 0);
}

TEST(KList, ItemsNotOwnedStay) {
  int Alive = 0;
  TCounted A(Alive), B(Alive);
  {
    TKList L;
    L.SetOwnsObjects(false);
    L.Add(&A);
    L.Add(&B);
    EXPECT_EQ(L.Get(1), &B);
    EXPECT_EQ(L.Items()->Count(), 2);
    L.Clear();
    EXPECT_EQ(L.Count(), 0);
  }
  EXPECT_EQ(Alive, 2);
}

TEST(KList, IndexErrors) {
  TKList L;
  L.SetOwnsObjects(false);
  L.Add(nullptr);
  for (const int Index : {-1, 1, 5}) {
    try {
      L.Get(Index);
      ADD_FAILURE() << "no exception for " << Index;
    } catch (const EListError& E) {
      EXPECT_EQ(E.Message(), "Listenindex \xFC" "berschreitet das Maximum (" + std::to_string(Index) + ")");
    }
  }
}
