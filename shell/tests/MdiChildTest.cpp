#include "shell/tests/AppFixture.h"

#include "common/CommandNumbers.h"
#include "shell/app/MdiChild.h"
#include "shell/app/MdiClient.h"

#include <QLabel>

namespace {

// A client that records the activations its children report.
class TRecordingClient final : public THalvetraMDIClient {
public:
  using THalvetraMDIClient::THalvetraMDIClient;

  static const TResponseTable& ResponseTable() {
    static constexpr TResponseEntry entries[] = {
        Response::Message<&TRecordingClient::EvChildActivated>(WM_CHILD_ACTIVATED),
    };
    static const TResponseTable table{entries, &THalvetraMDIClient::ResponseTable()};
    return table;
  }
  const TResponseTable& GetResponseTable() const override { return ResponseTable(); }

  void EvChildActivated(TParam1 activated, TParam2) { Activated.push_back(reinterpret_cast<THalvetraMDIChild*>(activated)); }

  std::vector<THalvetraMDIChild*> Activated;
};

class MdiChild : public TAppFixture {};

TEST_F(MdiChild, EveryActivationIsReportedToTheClient) {
  THalvetraApp& app = Start();
  TRecordingClient client(app);
  client.resize(800, 600);
  client.show();

  THalvetraMDIChild* first = client.AddChild("First", new QLabel("first"), true);
  QApplication::processEvents();
  ASSERT_EQ(client.Activated, std::vector<THalvetraMDIChild*>{first});  // a new child is activated
  EXPECT_EQ(first->windowTitle(), "First");

  THalvetraMDIChild* second = client.AddChild("Second", new QLabel("second"), false);
  client.ActivateChild(first);
  client.ActivateChild(first);  // activated again: reported again
  QApplication::processEvents();
  EXPECT_EQ(client.Activated, (std::vector<THalvetraMDIChild*>{first, second, first, first}));
}

}  // namespace
