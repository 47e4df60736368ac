#include "web/HttpClient.h"

#include <curl/curl.h>

#include <mutex>

namespace {

constexpr long CONNECT_TIMEOUT_MS = 3000;
constexpr long TOTAL_TIMEOUT_MS = 5000;

// libcurl's global set-up is not thread-safe; do it once for the whole program.
void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Taking fewer bytes than offered makes libcurl end the transfer with an error.
size_t AppendBody(char* data, size_t size, size_t count, void* body) {
    std::string& text = *static_cast<std::string*>(body);
    if (size * count > MaxHttpBodyBytes - text.size())
        return 0;
    text.append(data, size * count);
    return size * count;
}

// Keeps the text after the protocol of every status line ("HTTP/1.1 404 Not Found\r\n").
size_t ReadHeader(char* data, size_t size, size_t count, void* statusText) {
    std::string line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) {
        size_t space = line.find(' ');
        size_t end = line.find_last_not_of("\r\n");
        std::string& text = *static_cast<std::string*>(statusText);
        text = space == std::string::npos || end == std::string::npos || end <= space
                   ? std::string()
                   : line.substr(space + 1, end - space);
    }
    return size * count;
}

// Non-zero ends the transfer: the submission's screen was left.
int CheckCancel(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return cancel != nullptr && static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
}

} // namespace

THttpClient::THttpClient(const std::atomic<bool>* cancel) : Cancel(cancel) {
    InitCurlOnce();
    Curl = curl_easy_init();
    if (Curl == nullptr)
        throw EHttpError("Cannot start the HTTP client.");
}

THttpClient::~THttpClient() {
    curl_easy_cleanup(static_cast<CURL*>(Curl));
}

void THttpClient::Prepare(const std::string& url, std::string& body) {
    CURL* curl = static_cast<CURL*>(Curl);
    StatusText.clear();
    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kalmirov");
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, CONNECT_TIMEOUT_MS);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, TOTAL_TIMEOUT_MS);
    // Time-outs by signal would disturb the game; the threaded resolver needs none.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, ReadHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &StatusText);
    if (Cancel != nullptr) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CheckCancel);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(Cancel));
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }
}

std::string THttpClient::Get(const std::string& url) {
    CURL* curl = static_cast<CURL*>(Curl);
    std::string body;
    Prepare(url, body);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    CURLcode result = curl_easy_perform(curl);
    if (result != CURLE_OK)
        throw EHttpError(url + ": " + curl_easy_strerror(result));
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299)
        throw EHttpError(url + ": " + (StatusText.empty() ? std::to_string(status) : StatusText));
    return body;
}

THttpAnswer THttpClient::Send(const std::string& url, const std::string* body) {
    CURL* curl = static_cast<CURL*>(Curl);
    THttpAnswer answer;
    Prepare(url, answer.Body);
    curl_slist* headers = nullptr;
    if (body != nullptr) {
        headers = curl_slist_append(headers, "Content-Type: application/octet-stream");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body->size()));
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
    CURLcode result = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    if (result != CURLE_OK)
        throw EHttpError(url + ": " + curl_easy_strerror(result));
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.Status);
    return answer;
}
