#include <gtest/gtest.h>

#include "model/model.h"

TEST(Load3ds, MissingFileLeavesEmptyModel) {
    Model model{};
    model.meshCount = 5;
    EXPECT_EQ(0, Load3ds(&model, "no/such/file.3ds"));
    EXPECT_EQ(0, model.meshCount);
    EXPECT_EQ(nullptr, model.meshes);
    FreeModel(&model);
}
