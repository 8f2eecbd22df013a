// The events of the server controller and their parameters. The types they mention belong to
// the layers above (application object, forms) and are only declared here.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace qx {

class TCustomWebDispatcher;
class TWebRequest;
class TWebResponse;
class TIWApplication;
class TIWAppForm;
class TIWWAPClient;

// Sender, request, response, var Handled.
using TDispatchEvent =
    std::function<void(TCustomWebDispatcher& sender, TWebRequest&, TWebResponse&, bool& handled)>;
// User name, password, var AValid.
using TAuthRequestEvent =
    std::function<void(const std::string& user, const std::string& password, bool& valid)>;
// Request, user name, password, file, var AValid.
using TFileAccessEvent = std::function<void(TWebRequest&, const std::string& user,
                                            const std::string& password,
                                            const std::string& file, bool& valid)>;
// The session.
using TSessionEvent = std::function<void(TIWApplication& session)>;
// Application (or none), failure, var Handled.
using TExceptionEvent =
    std::function<void(TIWApplication* application, const std::exception&, bool& handled)>;
// Session, var VNewSessionID.
using TGetSessionIDEvent = std::function<void(TIWApplication& session, std::string& newId)>;
// Request, response, message.
using TInvalidCommandEvent =
    std::function<void(TWebRequest&, TWebResponse&, const std::string& message)>;
// Session, var VMainForm (left empty: the start form is used).
using TNewSessionEvent = std::function<void(TIWApplication& session, TIWAppForm*& mainForm)>;
// ASubmittedSequence, ACurrentSequence, AFormName, var VHandled, var VExecute.
using TBackButtonEvent = std::function<void(int submittedSequence, int currentSequence,
                                            const std::string& formName, bool& handled,
                                            bool& execute)>;
// The WAP client.
using TWAPClientDetectEvent = std::function<void(TIWWAPClient& client)>;
// Session, form, var VNewForm.
using TBeforeRenderEvent =
    std::function<void(TIWApplication& session, TIWAppForm& form, TIWAppForm*& newForm)>;
// Session, form.
using TAfterRenderEvent = std::function<void(TIWApplication& session, TIWAppForm& form)>;
// The data module's own OnCreate.
using TControllerCreateEvent = std::function<void()>;

}  // namespace qx
