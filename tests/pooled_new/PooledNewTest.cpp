// This program links the allocator's operator new and delete, as the game does: everything
// it allocates in C++ (the test framework included) comes from the default pool.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/Allocator.h"

TEST(PooledOperatorNew, ServesTheProgramsAllocations) {
  auto number = std::make_unique<int>(7);
  EXPECT_TRUE(PoolOwnsBlock(number.get()));
  void* empty = ::operator new(0);
  EXPECT_TRUE(PoolOwnsBlock(empty));
  EXPECT_GE(PoolBlockSize(empty), 1u);
  ::operator delete(empty);
  EXPECT_FALSE(PoolOwnsBlock(empty));

  std::vector<std::string> words;
  for (int i = 0; i < 5000; ++i) words.push_back(std::string(i % 300 + 20, static_cast<char>('a' + i % 26)));
  EXPECT_TRUE(PoolOwnsBlock(words.data()));  // a large block by now
  EXPECT_TRUE(PoolOwnsBlock(words[4999].data()));
  EXPECT_EQ(PoolHeapCheck(), kHeapOk);
  size_t used = 0;
  PoolHeapUsed(&used, nullptr);
  EXPECT_GT(used, 5000u * 20);
}

TEST(PooledOperatorNew, ThreadsShareTheDefaultPool) {
  std::vector<std::thread> threads;
  std::vector<size_t> totals(6);
  for (size_t id = 0; id < totals.size(); ++id)
    threads.emplace_back([id, &totals] {
      std::map<int, std::string> names;
      for (int i = 0; i < 20000; ++i) {
        names[i % 500] = std::string(static_cast<size_t>(i % 90), 'x');
        if (i % 7 == 0) names.erase((i * 13) % 500);
      }
      for (const auto& [key, name] : names) totals[id] += name.size();
    });
  for (std::thread& thread : threads) thread.join();
  for (size_t total : totals) EXPECT_EQ(total, totals[0]);
  EXPECT_EQ(PoolHeapCheck(), kHeapOk);
}

TEST(PooledOperatorNew, NothrowNewAnswersNullWhenNothingHelps) {
  PoolErrorHandler previous = g_poolErrorHandler.exchange([](const void*, int) { return 0; });
  EXPECT_EQ(::operator new (size_t{1} << 50, std::nothrow), nullptr);
  EXPECT_THROW((void)::operator new (size_t{1} << 50), std::bad_alloc);
  g_poolErrorHandler.store(previous);
}
