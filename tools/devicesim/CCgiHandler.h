#pragma once

#include "HttpTypes.h"
#include "StringUtil.h"

#include <string>

namespace devsim {

class CVirtualDevice;
class CMultipartForm;
struct SModule;

// The device's CGI scripts: turns one request into one reply, changing the device's state on
// the way (stored parameters, passwords, modules, pending restarts).
class CCgiHandler
{
public:
    static SHttpResponse handle(CVirtualDevice& device, const SHttpRequest& request);

    // The firmware version a device reports after accepting the file (empty: unusable name).
    static std::string firmwareVersionFromFileName(const std::string& fileName,
                                                   const std::string& model, std::string* reason);

private:
    static SHttpResponse dispatch(CVirtualDevice& device, const SHttpRequest& request);
    static bool applyHttpFault(CVirtualDevice& device, const SHttpRequest& request,
                               SHttpResponse* response, std::string* path);
    static SHttpResponse factoryMode(CVirtualDevice& device, const SHttpRequest& request,
                                     const std::string& path);
    static SHttpResponse getParam(CVirtualDevice& device, const std::string& query);
    static SHttpResponse setParam(CVirtualDevice& device, const PairList& pairs);
    static SHttpResponse sdCardStatus(CVirtualDevice& device, const std::string& query);
    static SHttpResponse firmwareUpload(CVirtualDevice& device, const SHttpRequest& request,
                                        const char* partName);
    static SHttpResponse eventScriptUpload(CVirtualDevice& device, const SHttpRequest& request);
    static SHttpResponse packageUpload(CVirtualDevice& device, const SHttpRequest& request);
    static SHttpResponse licenseUpload(CVirtualDevice& device, const SHttpRequest& request);
    static SHttpResponse moduleControl(CVirtualDevice& device, const SHttpRequest& request);
    static SHttpResponse appScript(CVirtualDevice& device, const SHttpRequest& request,
                                   const std::string& path, bool* found);
    static SHttpResponse configUpload(CVirtualDevice& device, const SHttpRequest& request,
                                      SModule* module, const char* partName,
                                      const char* failureText);
    static SHttpResponse download(CVirtualDevice& device, const std::string& name,
                                  const std::string& content);
    static SHttpResponse text(int status, const std::string& body);
    static SHttpResponse refused(CVirtualDevice& device, const std::string& body);
    static bool readUpload(const SHttpRequest& request, const char* partName, CMultipartForm* form,
                           std::string* fileName, std::string* data);
    static void recordRequest(CVirtualDevice& device, const SHttpRequest& request);
};

} // namespace devsim
