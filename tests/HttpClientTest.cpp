#include "web/HttpClient.h"
#include "TestHttpServer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// The tests talk to this machine only, whatever proxy the environment names.
class THttpClientTest : public ::testing::Test {
  protected:
    TEnvironment NoProxy{"no_proxy", "*"};
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

TEST_F(THttpClientTest, GetSendsTheUrlAndTheUserAgent) {
    TTestHttpServer server;
    THttpClient client;
    EXPECT_EQ(client.Get(server.Address() + "/a/b.php?x=1&y=%E1+2"), "ok");
    EXPECT_EQ(client.StatusText, "200 OK");
    auto requests = server.Recorded();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Target, "/a/b.php?x=1&y=%E1+2") << "sent exactly as given";
    EXPECT_EQ(requests[0].UserAgent, "Kalmirov");
}

TEST_F(THttpClientTest, StatusOutsideTwoHundredsIsAnErrorAndKeepsItsText) {
    TTestHttpServer server(0, 404);
    THttpClient client;
    EXPECT_THROW(client.Get(server.Address() + "/missing"), EHttpError);
    EXPECT_EQ(client.StatusText, "404 Not Found");
    TTestHttpServer broken(0, 500);
    try {
        client.Get(broken.Address() + "/");
        ADD_FAILURE() << "a 500 went through";
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.what()).find("500 Internal Server Error"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(client.StatusText, "500 Internal Server Error");
}

TEST_F(THttpClientTest, RedirectIsNotFollowed) {
    TTestHttpServer server(0, 302);
    THttpClient client;
    EXPECT_THROW(client.Get(server.Address() + "/"), EHttpError);
    EXPECT_EQ(client.StatusText, "302 Found");
    EXPECT_EQ(server.Recorded().size(), 1u);
}

TEST_F(THttpClientTest, NoServerMeansNoStatusText) {
    THttpClient client;
    TTestHttpServer server;
    client.Get(server.Address() + "/");
    EXPECT_EQ(client.StatusText, "200 OK");
    EXPECT_THROW(client.Get("http://127.0.0.1:" + std::to_string(ClosedLocalPort()) + "/"), EHttpError);
    EXPECT_EQ(client.StatusText, "") << "the previous response's text is gone";
}

TEST_F(THttpClientTest, OnlyHttpIsSpoken) {
    THttpClient client;
    EXPECT_THROW(client.Get("file:///etc/hostname"), EHttpError);
    EXPECT_THROW(client.Get("not a url"), EHttpError);
}

TEST_F(THttpClientTest, AnswerLargerThanTheBodyLimitIsAnError) {
    TTestHttpServer server;
    THttpClient client;
    server.SetBody(std::string(MaxHttpBodyBytes, 'x'));
    EXPECT_EQ(client.Get(server.Address() + "/").size(), MaxHttpBodyBytes) << "the limit itself goes through";
    server.SetBody(std::string(MaxHttpBodyBytes + 1, 'x'));
    EXPECT_THROW(client.Get(server.Address() + "/"), EHttpError);
}

TEST_F(THttpClientTest, ServerThatNeverAnswersIsGivenUpAfterFiveSeconds) {
    TTestHttpServer server(-1, 200, true);
    THttpClient client;
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(client.Get(server.Address() + "/slow"), EHttpError);
    double seconds = SecondsSince(start);
    EXPECT_GE(seconds, 4.5);
    EXPECT_LT(seconds, 7.0);
    EXPECT_EQ(client.StatusText, "");
}
