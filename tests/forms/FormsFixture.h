// The forms tests' fixture: a session of the service's controller (FormsSession) with the
// test controls registered, and a shown test screen to put them on.
#pragma once

#include <gtest/gtest.h>

#include "TestControls.h"
#include "forms/FormsSession.h"
#include "runtime/Streams.h"

namespace qx::test {

class FormsFixture : public ::testing::Test, public FormsSession {
 protected:
  FormsFixture() { RegisterTestControls(); }

  // A shown test screen of the session.
  TTestScreen& NewScreen(std::string_view name = "frmTest") {
    TTestScreen& screen = CreateComponent<TTestScreen>(App());
    screen.SetName(name);
    screen.Show();
    return screen;
  }

  static std::string Render(TIWForm& form) { return form.RenderPageText(); }
};

}  // namespace qx::test
