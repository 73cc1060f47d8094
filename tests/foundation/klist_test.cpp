// The object list under the KCSV tables.
#include "foundation/klist.h"

#include <gtest/gtest.h>

#include <vector>

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

TEST(KList, ManyItems) {
  int Alive = 0;
  TKList L;
  std::vector<TCounted*> Added;
  for (int I = 0; I < 20000; ++I) {
    Added.push_back(new TCounted(Alive));
    EXPECT_EQ(L.Add(Added.back()), I);
  }
  EXPECT_EQ(L.Count(), 20000);
  for (const int I : {0, 8191, 8192, 16383, 16384, 19999}) EXPECT_EQ(L.Get(I), Added[static_cast<std::size_t>(I)]);
  EXPECT_THROW(L.Get(20000), EListError);
  L.Clear();
  EXPECT_EQ(Alive, 0);
  EXPECT_EQ(L.Add(nullptr), 0);
}
