// HTTP/1.0 GETs per second without keep-alive against one nginx on loopback, 1000 requests in
// flight: Moravel beside libcurl's multi interface in the same run, plain, with Basic
// authentication and over TLS. nginx is started here with its own configuration.
//
//   moravel_http_bench [requests] [concurrency]      (defaults 20000 1000; TLS runs a quarter)
#include "moravel.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;
using namespace std::chrono;

namespace {

uint16_t freePort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    socklen_t l = sizeof(a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &l);
    close(fd);
    return ntohs(a.sin_port);
}

bool up(uint16_t port)
{
    for (int i = 0; i < 100; ++i) {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) == 0;
        close(fd);
        if (ok) {
            return true;
        }
        std::this_thread::sleep_for(milliseconds(50));
    }
    return false;
}

struct Nginx
{
    std::string dir;
    pid_t pid = -1;
    uint16_t port = 0, tlsPort = 0;
    Nginx()
    {
        char tmpl[] = "/tmp/moravel-bench-XXXXXX";
        dir = mkdtemp(tmpl);
        port = freePort();
        tlsPort = freePort();
        std::string d = dir;
        std::string setup =
            "cd " + d +
            " && mkdir -p www/basic && printf 'hello from nginx\\n' > www/hello.txt && "
            "cp www/hello.txt www/basic/ && htpasswd -cb htpasswd alice wonderland >/dev/null 2>&1 "
            "&& openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
            "-keyout key.pem -out cert.pem -subj /CN=127.0.0.1 -days 2 >/dev/null 2>&1 && "
            "chmod -R a+rX " +
            d;
        if (std::system(setup.c_str()) != 0) {
            return;
        }
        std::string conf =
            "daemon off;\nworker_processes 1;\npid " + d + "/nginx.pid;\nerror_log " + d +
            "/error.log;\nworker_rlimit_nofile 65536;\nevents { worker_connections 16384; }\n"
            "http {\n access_log off;\n keepalive_timeout 0;\n client_body_temp_path " +
            d + "/tmp;\n proxy_temp_path " + d + "/tmp;\n fastcgi_temp_path " + d +
            "/tmp;\n uwsgi_temp_path " + d + "/tmp;\n scgi_temp_path " + d +
            "/tmp;\n server {\n  listen 127.0.0.1:" + std::to_string(port) +
            " backlog=4096;\n  listen 127.0.0.1:" + std::to_string(tlsPort) +
            " ssl backlog=4096;\n  ssl_certificate " + d + "/cert.pem;\n  ssl_certificate_key " +
            d + "/key.pem;\n  root " + d +
            "/www;\n  location /basic/ {\n   auth_basic b;\n"
            "   auth_basic_user_file " +
            d + "/htpasswd;\n  }\n }\n}\n";
        FILE* f = fopen((d + "/nginx.conf").c_str(), "w");
        fputs(conf.c_str(), f);
        fclose(f);
        std::string c = d + "/nginx.conf";
        const char* argv[] = {"nginx", "-c", c.c_str(), "-p", d.c_str(), nullptr};
        posix_spawnp(&pid, "nginx", nullptr, nullptr, const_cast<char**>(argv), environ);
        if (!up(port)) {
            pid = -1;
        }
    }
    ~Nginx()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        std::system(("rm -rf " + dir).c_str());
    }
};

// ---- Moravel ----

struct Slot;
struct MvRun
{
    MoravelAgent* agent = nullptr;
    MoravelHttpParams params{};
    int tls = 0;
    std::atomic<int> started{0}, done{0}, failed{0};
    int total = 0;
    std::mutex m;
    std::condition_variable cv;
    std::vector<Slot> slots;
};

struct Slot
{
    MvRun* run;
    MoravelToken token{};
    MoravelHttpResponse resp{};
    MoravelTransport* tr = nullptr;
    char body[256];
};

void startOne(Slot* s);

void ended(Slot* s, bool ok)
{
    MvRun* r = s->run;
    if (!ok) {
        r->failed++;
    }
    if (s->tr) {
        COMMON_TI_Release(&s->tr);
    }
    if (++r->done == r->total) {
        std::lock_guard<std::mutex> l(r->m);
        r->cv.notify_all();
    }
    startOne(s);
}

int MORAVEL_CALL onBody(MoravelCallbackRecord* rec)
{
    ended(static_cast<Slot*>(rec->user), rec->status == 0);
    return 0;
}

int MORAVEL_CALL onResponse(MoravelCallbackRecord* rec)
{
    auto* s = static_cast<Slot*>(rec->user);
    if (rec->status != 0 || !s->tr) {
        ended(s, false);
        return 0;
    }
    uint32_t n = static_cast<uint32_t>(s->resp.contentLength);
    if (n == 0 || n > sizeof(s->body) ||
        COMMON_TI_ReadData(s->tr, &s->token, onBody, s, n, s->body, 0) != 0) {
        ended(s, n == 0);
    }
    return 0;
}

void startOne(Slot* s)
{
    MvRun* r = s->run;
    if (r->started.fetch_add(1) >= r->total) {
        return;
    }
    s->resp = MoravelHttpResponse{};
    s->resp.transport = &s->tr;
    s->token.idleTimeout = 30000;
    STATOKEN_TouchToken(&s->token);
    if (SMO_HttpRequest_InitEx(r->agent, &s->token, onResponse, s, &r->params, &s->resp, r->tls) !=
        0) {
        r->failed++;
        if (++r->done == r->total) {
            std::lock_guard<std::mutex> l(r->m);
            r->cv.notify_all();
        }
    }
}

double moravelRun(const std::string& url, const char* user, const char* pw, int total, int conc,
                  int* failed)
{
    MvRun r;
    SCHEAGENT_Initialize(&r.agent, 1);
    int https = 0;
    SMO_HttpRequest_SetConnURL(&r.params, url.c_str(), user, pw, nullptr, 0, nullptr, nullptr, 0,
                               &https);
    r.tls = https;
    r.total = total;
    r.slots.resize(static_cast<size_t>(conc));
    auto t0 = steady_clock::now();
    for (auto& s : r.slots) {
        s.run = &r;
    }
    // Queued from this thread; the callbacks go on from the loop thread.
    for (auto& s : r.slots) {
        startOne(&s);
    }
    {
        std::unique_lock<std::mutex> l(r.m);
        r.cv.wait(l, [&] { return r.done.load() >= total; });
    }
    double secs = duration<double>(steady_clock::now() - t0).count();
    *failed = r.failed.load();
    SCHEAGENT_Release(&r.agent);
    return total / secs;
}

// ---- libcurl multi ----

size_t discard(char*, size_t size, size_t n, void*)
{
    return size * n;
}

double curlRun(const std::string& url, const char* user, const char* pw, int total, int conc,
               int* failed)
{
    CURLM* multi = curl_multi_init();
    curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, 0L);
    std::vector<CURL*> handles;
    std::string userpwd = user ? std::string(user) + ":" + pw : "";
    auto add = [&](CURL* h) {
        curl_easy_setopt(h, CURLOPT_URL, url.c_str());
        curl_easy_setopt(h, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
        curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
        curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, discard);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
        if (user) {
            curl_easy_setopt(h, CURLOPT_USERPWD, userpwd.c_str());
            curl_easy_setopt(h, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
        }
        curl_multi_add_handle(multi, h);
    };
    int started = 0, done = 0;
    *failed = 0;
    auto t0 = steady_clock::now();
    for (int i = 0; i < conc && started < total; ++i, ++started) {
        CURL* h = curl_easy_init();
        handles.push_back(h);
        add(h);
    }
    int running = 0;
    while (done < total) {
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg != CURLMSG_DONE) {
                continue;
            }
            CURL* h = msg->easy_handle;
            long code = 0;
            curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
            if (msg->data.result != CURLE_OK || code != 200) {
                ++*failed;
            }
            ++done;
            curl_multi_remove_handle(multi, h);
            if (started < total) {
                ++started;
                add(h);
            }
        }
        curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    double secs = duration<double>(steady_clock::now() - t0).count();
    for (CURL* h : handles) {
        curl_easy_cleanup(h);
    }
    curl_multi_cleanup(multi);
    return total / secs;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("PYXERA_LOOPBACK_ONLY", "1", 1);
    int total = argc > 1 ? atoi(argv[1]) : 20000;
    int conc = argc > 2 ? atoi(argv[2]) : 1000;
    rlimit rl;
    getrlimit(RLIMIT_NOFILE, &rl);
    rl.rlim_cur = rl.rlim_max;
    setrlimit(RLIMIT_NOFILE, &rl);
    signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_ALL);
    Nginx nginx;
    if (nginx.pid <= 0) {
        fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    std::string plain = "http://127.0.0.1:" + std::to_string(nginx.port);
    std::string tls = "https://127.0.0.1:" + std::to_string(nginx.tlsPort);
    struct Mode
    {
        const char* name;
        std::string url;
        const char* user;
        const char* pw;
        int total;
    } modes[] = {{"plain", plain + "/hello.txt", nullptr, nullptr, total},
                 {"basic", plain + "/basic/hello.txt", "alice", "wonderland", total},
                 {"tls", tls + "/hello.txt", nullptr, nullptr, total / 4}};
    printf("%-6s %10s %12s %12s %8s %s\n", "mode", "requests", "moravel/s", "curl/s", "ratio",
           "failures (moravel, curl)");
    for (const Mode& m : modes) {
        int fm = 0, fc = 0;
        double mv = moravelRun(m.url, m.user, m.pw, m.total, conc, &fm);
        double cu = curlRun(m.url, m.user, m.pw, m.total, conc, &fc);
        printf("%-6s %10d %12.0f %12.0f %8.2f %d, %d\n", m.name, m.total, mv, cu, mv / cu, fm, fc);
    }
    curl_global_cleanup();
    return 0;
}
