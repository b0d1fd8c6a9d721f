#include "base/ObserverList.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace rv {
namespace {

class Hearer {
  public:
    virtual ~Hearer() = default;
    virtual void Heard(int round) = 0;
};

struct Rig;

// An observer that writes "<name><round> " into the rig's journal, then runs the rig's reaction.
struct Probe : Hearer {
    Probe(Rig& r, std::string n) : rig(r), name(std::move(n)) {}
    void Heard(int round) override;

    Rig& rig;
    std::string name;
    Subscription subscription;
};

struct Rig {
    using Reaction = std::function<void(Rig&, const std::string& who, int round)>;

    Rig() {
        for (const char* name : {"A", "B", "C"}) Join(name);
    }
    void Join(const std::string& name) {
        Probe& p = probes.emplace_back(*this, name);
        p.subscription = list.Subscribe(p);
    }
    void Leave(const std::string& name) {
        for (Probe& p : probes) {
            if (p.name == name) p.subscription.Reset();
        }
    }
    void Notify(int round) { list.Notify(&Hearer::Heard, round); }

    ObserverList<Hearer> list;
    std::deque<Probe> probes;  // stable addresses while probes join
    std::string journal;
    Reaction react;
};

void Probe::Heard(int round) {
    rig.journal += name + std::to_string(round) + " ";
    if (rig.react) rig.react(rig, name, round);
}

// A, B and C subscribe in that order; rounds 1 and 3 are notified one after the other, and one
// observer's reaction to a round changes the list (round 2 is a nested notification).
TEST(ObserverList, ChangesDuringANotification) {
    struct Case {
        const char* what;
        Rig::Reaction react;
        const char* journal;
    };
    const auto at = [](const char* who, int round, std::function<void(Rig&)> act) {
        return [=](Rig& rig, const std::string& name, int r) {
            if (name == who && r == round) act(rig);
        };
    };
    const Case cases[] = {
        {"nothing changes: order of subscription", {}, "A1 B1 C1 A3 B3 C3 "},
        {"an observer leaves", at("A", 1, [](Rig& r) { r.Leave("A"); }), "A1 B1 C1 B3 C3 "},
        {"an observer removes a later one", at("A", 1, [](Rig& r) { r.Leave("B"); }),
         "A1 C1 A3 C3 "},
        {"an observer removes an earlier and a later one",
         at("B", 1,
            [](Rig& r) {
                r.Leave("A");
                r.Leave("C");
            }),
         "A1 B1 B3 "},
        {"a newcomer hears the next round only", at("A", 1, [](Rig& r) { r.Join("D"); }),
         "A1 B1 C1 A3 B3 C3 D3 "},
        {"one leaves, one joins",
         at("A", 1,
            [](Rig& r) {
                r.Leave("A");
                r.Join("D");
            }),
         "A1 B1 C1 B3 C3 D3 "},
        {"a nested notification", at("A", 1, [](Rig& r) { r.Notify(2); }),
         "A1 A2 B2 C2 B1 C1 A3 B3 C3 "},
        {"a leave inside a nested notification",
         [](Rig& rig, const std::string& name, int round) {
             if (name == "A" && round == 1) rig.Notify(2);
             if (name == "B" && round == 2) rig.Leave("B");
         },
         "A1 A2 B2 C2 C1 A3 C3 "},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.react = c.react;
        rig.Notify(1);
        rig.Notify(3);
        EXPECT_EQ(rig.journal, c.journal) << c.what;
    }
}

struct Counter : Hearer {
    void Heard(int round) override { sum += round; }
    int sum = 0;
};

TEST(ObserverList, SubscriptionOutlivesItsSubject) {
    Counter counter;
    auto list = std::make_unique<ObserverList<Hearer>>();
    Subscription subscription = list->Subscribe(counter);
    EXPECT_TRUE(subscription.Active());
    list->Notify(&Hearer::Heard, 2);
    list.reset();
    EXPECT_FALSE(subscription.Active());
    subscription.Reset();  // the list has gone: nothing to leave
    EXPECT_EQ(counter.sum, 2);
}

TEST(ObserverList, SubjectOutlivesItsObserver) {
    ObserverList<Hearer> list;
    Counter stays;
    const Subscription staying = list.Subscribe(stays);
    {
        Counter goes;
        const Subscription going = list.Subscribe(goes);
        EXPECT_EQ(list.Count(), 2u);
    }
    EXPECT_EQ(list.Count(), 1u);
    list.Notify([](Hearer& h, int round) { h.Heard(round); }, 5);
    EXPECT_EQ(stays.sum, 5);
}

TEST(ObserverList, SubscriptionMoves) {
    ObserverList<Hearer> list;
    Counter first, second;
    Subscription a = list.Subscribe(first);
    Subscription moved(std::move(a));
    a.Reset();  // moved-from: holds nothing, so the observer stays
    EXPECT_FALSE(a.Active());
    list.Notify(&Hearer::Heard, 1);
    EXPECT_EQ(first.sum, 1);

    Subscription b = list.Subscribe(second);
    moved = std::move(b);  // `first` leaves, `second` stays under the new owner
    list.Notify(&Hearer::Heard, 10);
    EXPECT_EQ(first.sum, 1);
    EXPECT_EQ(second.sum, 10);

    moved.Reset();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_FALSE(Subscription().Active());
}

}  // namespace
}  // namespace rv
