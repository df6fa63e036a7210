#include "CCgiHandler.h"

#include "CFirmwareImage.h"
#include "CHttpAuth.h"
#include "CMultipartForm.h"
#include "CVirtualDevice.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <set>

namespace devsim {

namespace {

const char kRealm[] = "QXOR device";
const char kFactoryPage[] = "/factorymode/configure_password.html";

// The modules the simulator knows by name, with the folder of their scripts.
struct SAppFolder
{
    const char* folder;
    const char* modules[2];
};
const SAppFolder kAppFolders[] = {
    {"/Trend-Micro-IoT-Security/", {"Trend Micro IoT Security", nullptr}},
    {"/Stereo-Counting/", {"Rureru Revevaz", nullptr}},
    {"/VCA/", {"VCA", "Zovu Rorevazu ZAV"}},
    {"/NEVRA/", {"ANPR", nullptr}},
};

const char* const kKnownModules[] = {"Trend Micro IoT Security", "Rureru Revevaz", "VCA",
                                     "Zovu Rorevazu ZAV", "ANPR"};

std::string squash(const std::string& name)
{
    std::string out;
    for (char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return out;
}

std::string baseName(const std::string& fileName)
{
    const auto slash = fileName.find_last_of("/\\");
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string stripExtension(const std::string& name)
{
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

SModule* findModuleByName(SDeviceState& state, const std::string& name)
{
    for (SModule& m : state.modules)
        if (m.name == name || (!m.extendedName.empty() && m.extendedName == name))
            return &m;
    return nullptr;
}

std::string uriWithHost(const SHttpRequest& request, const std::string& target)
{
    return std::string(request.https ? "https" : "http") + "://" + request.host + ":" +
           std::to_string(request.port) + target;
}

std::string dispositionName(const std::string& override, const std::string& name)
{
    return override.empty() ? name : override;
}

// The trimmed text of the first <name>...</name> element, or empty.
std::string elementText(const std::string& xml, const std::string& name)
{
    const std::string open = "<" + name + ">";
    const std::string close = "</" + name + ">";
    const auto start = xml.find(open);
    if (start == std::string::npos)
        return {};
    const auto end = xml.find(close, start + open.size());
    if (end == std::string::npos)
        return {};
    return trim(xml.substr(start + open.size(), end - start - open.size()));
}

bool isHex12(const std::string& text)
{
    return text.size() == 12 && std::all_of(text.begin(), text.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) != 0;
           });
}

// The first run of exactly twelve hexadecimal digits in a file name.
std::string firstHexRun12(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && std::isxdigit(static_cast<unsigned char>(text[j])))
            ++j;
        if (j - i == 12)
            return text.substr(i, 12);
        i = j == i ? i + 1 : j;
    }
    return {};
}

} // namespace

SHttpResponse CCgiHandler::text(int status, const std::string& body)
{
    SHttpResponse response;
    response.status = status;
    response.addHeader("Content-Type", "text/plain");
    response.body = body;
    return response;
}

SHttpResponse CCgiHandler::refused(CVirtualDevice& device, const std::string& body)
{
    return text(device.state().uploadRefusalStatus, body);
}

SHttpResponse CCgiHandler::download(CVirtualDevice& device, const std::string& name,
                                    const std::string& content)
{
    SHttpResponse response;
    response.addHeader("Content-Type", "application/octet-stream");
    // The program takes the name as everything after the 21 characters of this prefix.
    response.addHeader("Content-Disposition",
                       "attachment; filename=" +
                           dispositionName(device.state().exportFileName, name));
    response.body = content;
    return response;
}

void CCgiHandler::recordRequest(CVirtualDevice& device, const SHttpRequest& request)
{
    nlohmann::json entry = {{"method", request.method},
                            {"path", request.path},
                            {"query", percentDecode(request.query, false)},
                            {"scheme", request.https ? "https" : "http"}};
    const std::string contentType = toLower(request.header("content-type"));
    if (startsWith(contentType, "multipart/form-data")) {
        CMultipartForm form;
        form.parse(request.header("content-type"), request.body);
        nlohmann::json parts = nlohmann::json::array();
        for (const auto& part : form.parts()) {
            nlohmann::json p = {{"name", part.name}, {"size", part.data.size()}};
            if (part.hasFileName)
                p["fileName"] = part.fileName;
            else if (part.data.size() <= 1024)
                p["text"] = part.data;
            parts.push_back(p);
        }
        entry["parts"] = parts;
    } else if (!request.body.empty()) {
        entry["body"] =
            request.body.size() <= 64 * 1024 ? request.body : request.body.substr(0, 64 * 1024);
        entry["bodySize"] = request.body.size();
    }
    device.record(entry);
}

SHttpResponse CCgiHandler::handle(CVirtualDevice& device, const SHttpRequest& request)
{
    recordRequest(device, request);
    std::string path = request.path;
    SHttpResponse faulty;
    if (applyHttpFault(device, request, &faulty, &path))
        return faulty;

    SDeviceState& state = device.state();
    SHttpRequest effective = request;
    effective.path = path;
    SHttpResponse response;
    if (startsWith(path, "/factorymode/")) {
        response = factoryMode(device, effective, path);
    } else if (state.firstUse) {
        // A device waiting for its first password sends every ordinary request to the page
        // where that password is set.
        response.status = 302;
        response.addHeader("Location", uriWithHost(request, kFactoryPage));
        response.addHeader("Content-Type", "text/html");
        response.body = "<html><body>Moved</body></html>";
    } else if (state.fault.kind == "auth-reject" ||
               !CHttpAuth::check(effective, state.authMode, kRealm, state.user, state.password)) {
        response = text(401, "401 Unauthorized\r\n");
        response.addHeader("WWW-Authenticate", CHttpAuth::challenge(state.authMode, kRealm));
    } else {
        response = dispatch(device, effective);
    }
    if (state.fault.kind == "slow" &&
        (state.fault.path.empty() || startsWith(request.path, state.fault.path)))
        response.delayMs = state.fault.delayMs;
    return response;
}

bool CCgiHandler::applyHttpFault(CVirtualDevice& device, const SHttpRequest& request,
                                 SHttpResponse* response, std::string* path)
{
    const SFault& fault = device.state().fault;
    static const std::string kOncePrefix = "/redirected";
    static const std::string kLoopPrefix = "/redirect-loop";
    // The target of a redirect is served normally whatever the fault's path filter says.
    if (fault.kind == "redirect-once" && startsWith(request.path, kOncePrefix + "/")) {
        *path = request.path.substr(kOncePrefix.size());
        return false;
    }
    if (fault.kind == "none" || (!fault.path.empty() && !startsWith(request.path, fault.path)))
        return false;
    if (fault.kind == "status") {
        *response = text(fault.status, "Error " + std::to_string(fault.status) + "\r\n");
        return true;
    }
    if (fault.kind == "redirect-once" || fault.kind == "redirect-loop") {
        std::string target;
        if (fault.kind == "redirect-once")
            target = fault.location.empty() ? uriWithHost(request, kOncePrefix + request.uri)
                                            : fault.location;
        else
            target = uriWithHost(request, kLoopPrefix + request.uri);
        *response = text(302, "Moved\r\n");
        response->addHeader("Location", target);
        return true;
    }
    if (fault.kind == "garbage") {
        SHttpResponse r = text(200, std::string("\x00\x01\xff\xfe=novalue\r\n'''\r\n", 17) +
                                        "<html><<<>>>\r\n=\r\n\x7f\x80\x81 no pairs here");
        *response = r;
        return true;
    }
    return false;
}

SHttpResponse CCgiHandler::factoryMode(CVirtualDevice& device, const SHttpRequest& request,
                                       const std::string& path)
{
    SDeviceState& state = device.state();
    // Factory mode exists only until the first password is set.
    if (!state.firstUse)
        return text(404, "404 Not Found\r\n");
    if (path == "/factorymode/cgi-bin/admin/getparam.cgi")
        return getParam(device, request.query);
    if (path == "/factorymode/cgi-bin/admin/editaccount.cgi") {
        std::string method, user, password;
        bool hasPassword = false;
        for (const auto& [name, value] : parseForm(request.query, false)) {
            if (name == "method")
                method = value;
            else if (name == "username")
                user = value;
            else if (name == "userpass") {
                password = value;
                hasPassword = true;
            }
        }
        if (method != "edit" || user != "root" || !hasPassword || password.empty())
            return text(400, "ERROR: invalid account request\r\n");
        state.user = "root";
        state.password = password;
        state.firstUse = false;
        return text(200, "OK\r\n");
    }
    if (path == kFactoryPage)
        return text(200, "<html><body>Set the root password</body></html>");
    return text(404, "404 Not Found\r\n");
}

SHttpResponse CCgiHandler::dispatch(CVirtualDevice& device, const SHttpRequest& request)
{
    SDeviceState& state = device.state();
    const std::string& path = request.path;
    const bool camera = !state.recorder;
    const bool post = request.method == "POST";

    if (path == "/cgi-bin/admin/getparam.cgi")
        return getParam(device, request.query);
    if (path == "/cgi-bin/admin/setparam.cgi") {
        const bool urlencoded =
            toLower(request.header("content-type")).find("multipart") == std::string::npos;
        if (post && urlencoded)
            return setParam(device, parseForm(request.body));
        return setParam(device, parseForm(request.query, false));
    }
    if (path == "/cgi-bin/admin/lsctrl.cgi")
        return sdCardStatus(device, request.query);
    if (path == "/cgi-bin/sysinfo.cgi")
        return text(200, "Model=" + state.model + "\r\nFirmware=" + state.identification() +
                             "\r\nMAC=" + state.mac + "\r\n");
    if (path == "/cgi-bin/admin/export_backup.cgi") {
        std::string content = "# configuration backup of " + state.identification() + "\n";
        for (const auto& [name, value] : state.params.all())
            content += name + "='" + value + "'\n";
        return download(device, "backup_" + state.model + "_" + state.serial() + ".tar", content);
    }
    if (camera && path == "/cgi-bin/admin/export_report.cgi") {
        std::string content = "System report of " + state.identification() + "\nMAC " + state.mac +
                              "\nUptime 1234 s\n";
        // Real reports run to several MB; tests of memory and time ask for that size.
        const auto wanted = static_cast<std::size_t>(state.reportBytes);
        if (content.size() < wanted)
            content.resize(wanted, '.');
        return download(device, "serverreport_" + state.model + "_" + state.serial() + ".txt",
                        content);
    }
    if (camera && path == "/cgi-bin/admin/upgrade.cgi" && post)
        return firmwareUpload(device, request, "fimage");
    if (!camera && path == "/cgi-bin/admin/system.upgrade" && post)
        return firmwareUpload(device, request, "file");
    if (camera && path == "/cgi-bin/admin/eventscript.cgi" && post)
        return eventScriptUpload(device, request);
    if (camera && path == "/cgi-bin/admin/upload_zapk.cgi" && post)
        return packageUpload(device, request);
    if (camera && path == "/cgi-bin/admin/upload_zapklicense.cgi" && post)
        return licenseUpload(device, request);
    if (camera && path == "/cgi-bin/admin/zapkctrl.cgi")
        return moduleControl(device, request);
    if (camera) {
        bool found = false;
        SHttpResponse response = appScript(device, request, path, &found);
        if (found)
            return response;
    }
    return text(404, "404 Not Found\r\n");
}

SHttpResponse CCgiHandler::getParam(CVirtualDevice& device, const std::string& query)
{
    std::string body;
    for (const std::string& raw : split(query, '&')) {
        std::string item = percentDecode(raw, false);
        // Some callers write "name=" items; only the name counts.
        const auto eq = item.find('=');
        if (eq != std::string::npos)
            item = item.substr(0, eq);
        const auto& overrides = device.state().replyOverrides;
        for (const auto& [name, value] : device.state().params.lookup(item)) {
            const auto it = overrides.find(name);
            if (it == overrides.end())
                body += name + "='" + value + "'\r\n";
            else if (it->second)
                body += name + "='" + *it->second + "'\r\n";
        }
    }
    return text(200, body);
}

SHttpResponse CCgiHandler::setParam(CVirtualDevice& device, const PairList& pairs)
{
    SDeviceState& state = device.state();
    bool restart = false;
    bool restore = false;
    std::set<std::string> keep;
    std::string body;
    for (const auto& [name, value] : pairs) {
        if (name.empty())
            continue;
        if (name == "system_reset") {
            restart = restart || value == "1";
        } else if (name == "system_restore") {
            restore = restore || value == "1";
        } else if (startsWith(name, "system_restoreexcept")) {
            if (value == "1") {
                restore = true;
                keep.insert(name.substr(std::string("system_restoreexcept").size()));
            }
        } else if (name == "security_user_i0_pass") {
            // The root password is an account, not a readable parameter.
            state.password = value;
        } else {
            state.params.set(name, value);
        }
        body += name + "='" + value + "'\r\n";
    }
    if (restore)
        device.setPendingRestore(keep);
    if (restart || restore)
        device.scheduleRestart();
    return text(200, body);
}

SHttpResponse CCgiHandler::sdCardStatus(CVirtualDevice& device, const std::string& query)
{
    bool status = false;
    for (const auto& [name, value] : parseForm(query, false))
        if (name == "cmd" && value == "queryStatus")
            status = true;
    if (!status)
        return text(400, "ERROR: unknown command\r\n");
    // One card per line: the program reads "<iN>...</iN>" items without crossing line breaks.
    std::string body =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<stormgr>\r\n<disk>\r\n";
    int i = 0;
    for (const SSdCard& card : device.state().sdCards) {
        const std::string tag = "i" + std::to_string(i++);
        body +=
            "<" + tag + "><cond>" + card.cond + "</cond><totalsize>" +
            std::to_string(card.totalSize) + "</totalsize><usedspace>" +
            std::to_string(card.usedSpace) + "</usedspace><freespace>" +
            std::to_string(card.totalSize >= card.usedSpace ? card.totalSize - card.usedSpace : 0) +
            "</freespace></" + tag + ">\r\n";
    }
    body += "</disk>\r\n</stormgr>\r\n";
    SHttpResponse response = text(200, body);
    response.headers.clear();
    response.addHeader("Content-Type", "text/xml");
    return response;
}

bool CCgiHandler::readUpload(const SHttpRequest& request, const char* partName,
                             CMultipartForm* form, std::string* fileName, std::string* data)
{
    if (!form->parse(request.header("content-type"), request.body))
        return false;
    const CMultipartForm::SPart* part = form->part(partName);
    if (!part)
        return false;
    *fileName = part->fileName;
    *data = part->data;
    return true;
}

std::string CCgiHandler::firmwareVersionFromFileName(const std::string& fileName,
                                                     const std::string& model, std::string* reason)
{
    const std::string base = stripExtension(baseName(fileName));
    const std::vector<std::string> pieces = split(base, '-');
    std::string version = pieces.back();
    if (pieces.size() >= 2 && toLower(pieces.front()) != toLower(model)) {
        if (reason)
            *reason = "the file is for model " + pieces.front() + ", not " + model;
        return {};
    }
    if (version.empty() && reason)
        *reason = "the file name carries no version";
    return version;
}

SHttpResponse CCgiHandler::firmwareUpload(CVirtualDevice& device, const SHttpRequest& request,
                                          const char* partName)
{
    CMultipartForm form;
    std::string fileName, data;
    if (!readUpload(request, partName, &form, &fileName, &data))
        return text(400, std::string("ERROR: Upgrade firmware failed: no part \"") + partName +
                             "\"\r\n");
    if (data.empty())
        return refused(device, "ERROR: Upgrade firmware failed: the file is empty\r\n");
    if (device.state().fault.kind == "refuse-uploads")
        return refused(device, "ERROR: Upgrade firmware failed: the file is not usable\r\n");
    std::string reason;
    std::string imageModel, version;
    if (CFirmwareImage::parse(data, &imageModel, &version)) {
        // The file says what it is; its name no longer matters.
        if (toLower(imageModel) != toLower(device.state().model))
            return refused(device, "ERROR: Upgrade firmware failed: the file is for model " +
                                       imageModel + ", not " + device.state().model + "\r\n");
        if (version.empty())
            return refused(device,
                           "ERROR: Upgrade firmware failed: the file carries no version\r\n");
    } else {
        version = firmwareVersionFromFileName(fileName, device.state().model, &reason);
    }
    if (version.empty())
        return refused(device, "ERROR: Upgrade firmware failed: " + reason + "\r\n");
    device.setPendingFirmware(version);
    device.scheduleRestart(device.state().upgradeGoDownMs);
    return text(200, "OK: firmware accepted, the device restarts\r\n");
}

SHttpResponse CCgiHandler::eventScriptUpload(CVirtualDevice& device, const SHttpRequest& request)
{
    CMultipartForm form;
    std::string fileName, data;
    if (!readUpload(request, "UploadEventScriptFile", &form, &fileName, &data))
        return text(400, "ERROR: no part \"UploadEventScriptFile\"\r\n");
    if (data.empty() || device.state().fault.kind == "refuse-uploads")
        return refused(device, "ERROR: Upload event script failed\r\n");
    return text(200, "OK\r\n");
}

SHttpResponse CCgiHandler::packageUpload(CVirtualDevice& device, const SHttpRequest& request)
{
    CMultipartForm form;
    std::string fileName, data;
    if (!readUpload(request, "uploadZapk", &form, &fileName, &data))
        return text(400, "ERROR: no part \"uploadZapk\"\r\n");
    if (data.empty() || device.state().fault.kind == "refuse-uploads")
        return refused(device, "ERROR: Install package failed: the package is not usable\r\n");
    // "VCA_2.1.0.zapk" installs VCA version 2.1.0; known module names are matched loosely so
    // that "Trend-Micro-IoT-Security_1.0.zapk" names "Trend Micro IoT Security".
    const std::string base = stripExtension(baseName(fileName));
    const auto underscore = base.rfind('_');
    std::string name = underscore == std::string::npos ? base : base.substr(0, underscore);
    const std::string version =
        underscore == std::string::npos ? "1.0.0" : base.substr(underscore + 1);
    for (const char* known : kKnownModules)
        if (squash(known) == squash(name))
            name = known;
    if (name.empty())
        return refused(device, "ERROR: Install package failed: the package has no name\r\n");
    SDeviceState& state = device.state();
    if (SModule* existing = findModuleByName(state, name)) {
        existing->version = version;
    } else {
        std::set<int> used;
        for (const SModule& m : state.modules)
            used.insert(m.index);
        int index = 0;
        while (index < 10 && used.count(index))
            ++index;
        if (index >= 10)
            return refused(device, "ERROR: Install package failed: no free module slot\r\n");
        SModule module;
        module.index = index;
        module.name = name;
        module.version = version;
        state.modules.push_back(module);
    }
    device.refreshGeneratedParams();
    return text(200, "OK\r\n");
}

SHttpResponse CCgiHandler::licenseUpload(CVirtualDevice& device, const SHttpRequest& request)
{
    CMultipartForm form;
    std::string fileName, data;
    if (!readUpload(request, "uploadZapkLicense", &form, &fileName, &data))
        return text(400, "ERROR: no part \"uploadZapkLicense\"\r\n");
    SDeviceState& state = device.state();
    // A licence belongs to one device: its MAC is in a <MAC> element or in the file name.
    std::string mac = elementText(data, "MAC");
    if (!isHex12(mac))
        mac = firstHexRun12(baseName(fileName));
    if (data.empty() || state.fault.kind == "refuse-uploads" ||
        toLower(mac) != toLower(state.serial()))
        return refused(device,
                       "ERROR: Upload license failed: the licence is not for this device\r\n");
    const std::string moduleName = elementText(data, "Module");
    for (SModule& module : state.modules)
        if (moduleName.empty() || module.name == moduleName)
            module.license = "valid";
    device.refreshGeneratedParams();
    return text(200, "OK\r\n");
}

SHttpResponse CCgiHandler::moduleControl(CVirtualDevice& device, const SHttpRequest& request)
{
    const PairList pairs =
        request.method == "POST" ? parseForm(request.body) : parseForm(request.query, false);
    std::string cmd;
    int index = -1;
    for (const auto& [name, value] : pairs) {
        if (name == "cmd")
            cmd = value;
        else if (name == "idx" && !value.empty() &&
                 std::all_of(value.begin(), value.end(),
                             [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            index = value.size() > 4 ? -1 : std::stoi(value);
    }
    SDeviceState& state = device.state();
    auto it = std::find_if(state.modules.begin(), state.modules.end(),
                           [index](const SModule& mod) { return mod.index == index; });
    if (it == state.modules.end())
        return text(400, "ERROR: no module at index " + std::to_string(index) + "\r\n");
    if (cmd == "start")
        it->status = "on";
    else if (cmd == "stop")
        it->status = "off";
    else if (cmd == "remove")
        state.modules.erase(it);
    else
        return text(400, "ERROR: unknown command\r\n");
    device.refreshGeneratedParams();
    return text(200, "OK\r\n");
}

SHttpResponse CCgiHandler::configUpload(CVirtualDevice& device, const SHttpRequest& request,
                                        SModule* module, const char* partName,
                                        const char* failureText)
{
    CMultipartForm form;
    std::string fileName, data;
    if (!readUpload(request, partName, &form, &fileName, &data) || data.empty() ||
        device.state().fault.kind == "refuse-uploads")
        return refused(device, std::string(failureText) + "\r\n");
    module->config = data.substr(0, 64 * 1024);
    return text(200, "OK\r\n");
}

SHttpResponse CCgiHandler::appScript(CVirtualDevice& device, const SHttpRequest& request,
                                     const std::string& path, bool* found)
{
    SDeviceState& state = device.state();
    SModule* module = nullptr;
    const SAppFolder* folder = nullptr;
    for (const SAppFolder& f : kAppFolders) {
        if (!startsWith(path, f.folder))
            continue;
        for (const char* name : f.modules)
            if (name && !module)
                module = findModuleByName(state, name);
        folder = &f;
    }
    *found = folder && module;
    if (!*found)
        return {};
    const std::string script = path.substr(std::string(folder->folder).size());
    const std::string tag = state.model + "_" + state.serial();
    const bool post = request.method == "POST";
    const std::string folderName = std::string(folder->folder);

    if (folderName == "/Trend-Micro-IoT-Security/") {
        if (script == "cgi-bin/GetVersion.cgi")
            return text(200, module->signature);
        if (script == "cgi-bin/StartTMIS.cgi") {
            const std::string mode = percentDecode(request.query, false);
            if (mode != "Auto" && mode != "Manual")
                return text(200, "error");
            module->updateMode = mode;
            return text(200, "ok");
        }
        if (script == "cgi-bin/Upload.cgi" && post) {
            CMultipartForm form;
            std::string fileName, data;
            if (!readUpload(request, "fileSig", &form, &fileName, &data) || data.empty() ||
                state.fault.kind == "refuse-uploads")
                return refused(device, "ERROR: Upload signature failed\r\n");
            // "sig_1.2.4.bin" brings signature 1.2.4; any other name one step up.
            const std::string base = stripExtension(baseName(fileName));
            const auto underscore = base.rfind('_');
            const std::string named =
                underscore == std::string::npos ? std::string() : base.substr(underscore + 1);
            module->signature =
                named.find('.') != std::string::npos ? named : module->signature + ".1";
            return text(200, "ok");
        }
        if (script == "cgi-bin/ExportLog.cgi")
            return download(device, "TMIS_log_" + tag + ".txt",
                            "Trend Micro IoT Security log\nsignature " + module->signature + "\n");
    } else if (folderName == "/NEVRA/") {
        if (script == "cgi-bin/nevrcgi.cgi") {
            std::string oper;
            for (const auto& [name, value] : parseForm(request.query, false))
                if (name == "oper")
                    oper = value;
            if (oper == "exportgeneralconfig")
                return download(device, "ANPR_generalconfig_" + tag + ".xls",
                                module->config.empty() ? "ANPR general configuration\n"
                                                       : module->config);
            if (oper == "importgeneralconfig" && post) {
                SHttpResponse r =
                    configUpload(device, request, module, "blob", "{\"result\":\"fail\"}");
                if (r.status == 200)
                    r.body = "{\"result\":\"ok\"}";
                return r;
            }
            return text(400, "{\"result\":\"unknown operation\"}");
        }
    } else {
        const std::string short_ = folderName == "/VCA/" ? "VCA" : "StereoCounting";
        if (script == "cgi-bin/upload_file.cgi" && post)
            return configUpload(device, request, module, "uploadConfig",
                                "Upgrade configuration file failed");
        if (script == "cgi-bin/export_file.cgi")
            return download(device, short_ + "_config_" + tag + ".json",
                            module->config.empty() ? "{\"module\":\"" + module->name + "\"}\n"
                                                   : module->config);
        if (script == "cgi-bin/export_log.cgi")
            return download(device, short_ + "_log_" + tag + ".txt",
                            module->name + " log of " + state.identification() + "\n");
    }
    *found = false;
    return {};
}

} // namespace devsim
