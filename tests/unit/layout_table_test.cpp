#include <gtest/gtest.h>

#include "ui/layout_table.h"

namespace vigilon {
namespace {

// The editor is created in table order, and creation order is keyboard order: the framed panel
// must exist before its children, and each container's controls come by rising tab index.
TEST(EditorLayout, TheFrameComesBeforeItsChildrenAndTabIndicesRiseInEachContainer) {
    bool frameCreated = false;
    int lastTab[2] = {-2, -2};
    for (ControlPlacement const& placement : EditorLayout()) {
        if (placement.kind == ControlKind::Frame) frameCreated = true;
        if (placement.container == Container::Frame) {
            EXPECT_TRUE(frameCreated) << placement.id;
        }
        int& last = lastTab[placement.container == Container::Frame ? 1 : 0];
        EXPECT_GT(placement.tabIndex, last) << placement.id;
        last = placement.tabIndex;
    }
    EXPECT_TRUE(frameCreated);
}

}  // namespace
}  // namespace vigilon
