// Small JPEG portraits for the demo users, drawn and compressed at run time.
#pragma once

#include <string>

namespace qx::admin {

// A 96 × 96 JPEG picture of a head-and-shoulders silhouette; `variant` picks the colours.
std::string MakeDemoPhoto(int variant);

}  // namespace qx::admin
