// Translator lookup: the session's cache, the registration list and the manager library,
// whose failure to load is kept for the rest of the session.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

#include "ErrorsDirFixture.h"
#include "translator/Json1.h"
#include "translator/Registration.h"
#include "translator/Session.h"

namespace {

using zytest::textOf;

int created = 0;
int destroyed = 0;
zyxlator::Xlator countedXlator{zyxlator::kXlatorStructSize, [](zyxlator::Xlator*) { ++destroyed; },
                               nullptr, nullptr};

const zyxlator::XlatorRegistration kRegistrations[] = {
    {"counted_xlator", "{}",
     [](const char*, const char*, zyerr::Status*) -> zyxlator::Xlator* {
         ++created;
         return &countedXlator;
     }},
};

class XlatorSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        created = destroyed = 0;
        zyxlator::setTestRegistrations(kRegistrations, 1);
    }
    void TearDown() override {
        zyxlator::setTestRegistrations(nullptr, 0);
        zyxlator::setManagerLibraryForTesting(nullptr);
    }
    zyxlator::SessionPtr session = [] {
        zyerr::Status status;
        return zyxlator::createSession(status);
    }();
};

TEST_F(XlatorSessionTest, CreatesARegisteredTranslatorOncePerSession) {
    zyerr::Status status;
    EXPECT_EQ(session->getXlator("counted_xlator", status), &countedXlator);
    EXPECT_EQ(session->getXlator("counted_xlator", status), &countedXlator);
    EXPECT_EQ(created, 1);
    session.reset();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(XlatorSessionTest, MissingEntriesAreReportedByName) {
    zyerr::Status status;
    EXPECT_EQ(zyxlator::getStaticDesc(*session, -1, "counted_xlator", 0,
                                      &zyxlator::translatorRealloc, nullptr, status),
              nullptr);
    EXPECT_FAILURE(-52006, "xlator doesn't support getStaticDesc", status);

    zyerr::Status noKey;
    EXPECT_EQ(zyxlator::getDynamicDesc(*session, "{\"code\":1}", 0, "json1",
                                       &zyxlator::translatorRealloc, nullptr, noKey),
              nullptr);
    EXPECT_FAILURE(-52006, "could not find translator key in json", noKey);

    zyerr::Status noDynamic;
    EXPECT_EQ(zyxlator::getDynamicDesc(*session, R"({"translator":"zyxlator_default"})", 0, "json1",
                                       &zyxlator::translatorRealloc, nullptr, noDynamic),
              nullptr);
    EXPECT_FAILURE(-52006, "xlator doesn't support getDynamicDesc", noDynamic);
}

TEST_F(XlatorSessionTest, AManagerThatCannotBeLoadedIsNotRetried) {
    zyxlator::setManagerLibraryForTesting("libzyxlator-test-missing.so.1");
    zyerr::Status first;
    EXPECT_EQ(session->getXlator("unknown_xlator", first), nullptr);
    EXPECT_FAILURE(-52005, "libzyxlator-test-missing.so.1", first);

    // Pointing elsewhere changes nothing for this session: the first outcome stands.
    zyxlator::setManagerLibraryForTesting(ZY_TEST_MANAGER_LIBRARY);
    zyerr::Status second;
    EXPECT_EQ(session->getXlator("managed_xlator", second), nullptr);
    EXPECT_EQ(textOf(second), textOf(first));

    zyxlator::setManagerLibraryForTesting(ZY_TEST_NOT_A_MANAGER);
    zyerr::Status incomplete;
    zyerr::Status ignored;
    EXPECT_EQ(zyxlator::createSession(ignored)->getXlator("managed_xlator", incomplete), nullptr);
    EXPECT_FAILURE(-52005, "zyxlatormgr_createSession", incomplete);
}

TEST_F(XlatorSessionTest, ManagerTranslatorsAreReleasedThroughTheManager) {
    zyxlator::setManagerLibraryForTesting(ZY_TEST_MANAGER_LIBRARY);
    zyerr::Status status;
    zyxlator::Xlator* managed = session->getXlator("managed_xlator", status);
    ASSERT_NE(managed, nullptr) << textOf(status);
    EXPECT_EQ(session->getXlator("managed_xlator", status), managed);
    void* library = dlopen(ZY_TEST_MANAGER_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    auto live = reinterpret_cast<int (*)()>(dlsym(library, "testmgr_live"));
    EXPECT_EQ(live(), 101) << "one manager session, one translator";
    EXPECT_EQ(session->getXlator("unmanaged", status), nullptr);
    session.reset();
    EXPECT_EQ(live(), 0);
    dlclose(library);

    zyerr::Status source;
    zyerr::setCode(source, -3);
    zyerr::setElaboration(source, R"({"translator":"managed_xlator"})");
    zyhtl::BasicString out;
    zyxlator::translate(source, 0, 1, out);
    EXPECT_STREQ(out.c_str(), "Managed -3.\n\n");
}

}  // namespace
