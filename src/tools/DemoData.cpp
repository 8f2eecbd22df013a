// Demo data. Texts are written here in UTF-8 and handed to the data layer as the service's
// Windows-1252, so the demo exercises the same conversions as the service.
#include "tools/DemoData.h"

#include <initializer_list>
#include <string>
#include <vector>

#include "data/ADOCommand.h"
#include "data/ADOConnection.h"
#include "data/Statements.h"
#include "tools/AdminStatements.h"
#include "runtime/Strings.h"
#include "tools/DemoPhotos.h"

namespace qx::admin {
namespace {

struct StatusName {
  int id;
  const char* en;
  const char* es;
  const char* pt;
};
constexpr StatusName kStatuses[] = {
    {1, "New", "Nueva", "Nova"},
    {2, "Awaiting attention", "En espera de atención", "Aguardando atendimento"},
    {3, "In progress", "En proceso", "Em andamento"},
    {4, "Cancelled", "Cancelada", "Cancelada"},
    {5, "Waiting for parts", "En espera de material", "Aguardando material"},
    {6, "Completed", "Terminada", "Concluída"},
    {7, "Closed", "Cerrada", "Encerrada"},
    {8, "Reminder", "Recordatorio", "Lembrete"},
    {9, "Under review", "En revisión", "Em análise"},
    {10, "Scheduled", "Programada", "Agendada"},
    {11, "Waiting for supplier", "En espera de proveedor", "Aguardando fornecedor"},
    {12, "On hold", "Suspendida", "Suspensa"},
    {13, "Sent by e-mail", "Enviada por correo", "Enviada por e-mail"},
};

struct DemoUser {
  int id;
  const char* name;
  const char* password;
  bool administrator;
  const char* email;
  const char* phone;
  const char* department;
  const char* group2;
  int photo;  // picture variant, -1 for none
  int requestGetDays;
  const char* phoneCode;
  const char* mobile;
  bool sendEmail;
};
constexpr DemoUser kUsers[] = {
    {1, "Ana Torres", "ana", false, "ana.torres@example.com", "+34 915 550 101", "Administration",
     "Accounts payable", 0, 30, "34", "600 123 456", true},
    {2, "Bruno Núñez", "bruno", false, "bruno.nunez@example.com", "+351 213 550 102", "Warehouse",
     "Logistics", 1, 0, "351", "912 345 678", true},
    {3, "Carla Méndez", "carla", false, "carla.mendez@example.com", "+34 915 550 103", "Reception",
     "Front desk", 2, 90, "", "", false},
    {4, "David Okafor", "david", false, "", "+44 20 7946 0104", "Laboratory", "", -1, 7, "44",
     "7700 900 123", true},
    {5, "Elena Rossi", "elena", true, "elena.rossi@example.com", "+39 06 5550 105", "Maintenance",
     "Supervisors", 3, 30, "39", "347 555 0105", true},
};

// The maintenance product's user who writes most notes.
constexpr const char* kQxAuthor = "Jorge Ramos";
constexpr int kByQx = 0;

struct DemoNote {
  int status;
  double daysAgo;
  int author;  // a user id, or kByQx
  const char* comments;
  int statusType = kStatusTypeStatus;
};
struct DemoRequest {
  int user;
  const char* description;
  bool urgent;
  bool repairNotice;
  std::vector<DemoNote> notes;
};

std::vector<DemoRequest> Requests() {
  return {
      {1, "Flickering light in meeting room 2", false, true, {{1, 2.3, 1, ""}}},
      {1,
       "Air conditioning too noisy in office 14",
       false,
       false,
       {{1, 20.4, 1, "It gets worse in the afternoon."},
        {2, 19.1, kByQx, "Technician assigned; waiting for access to the office."}}},
      {1,
       "Broken chair in the reception area",
       false,
       false,
       {{1, 45.2, 1, ""}, {3, 40.5, kByQx, "Replacement parts ordered."}}},
      {1,
       "Leaking tap in the second-floor kitchen",
       true,
       true,
       {{1, 10.2, 1, "Water on the floor."}, {2, 9.6, kByQx, "Plumber booked."}, {8, 5.1, 1, ""}}},
      {1,
       "Lámpara fundida en la sala de reuniones",
       false,
       true,
       {{1, 3.4, 1, "Se necesita una lámpara de 60 W; ¿podéis revisar también el casquillo?"},
        {9, 2.2, 5, "Under review by the maintenance office."}}},
      {1,
       "Replace the projector bulb in room 5",
       false,
       false,
       {{1, 70.1, 1, ""}, {3, 65.3, kByQx, "Bulb ordered."}, {6, 50.2, kByQx, "Bulb replaced."}}},
      {1,
       "Main entrance door lock sticks",
       false,
       false,
       {{1, 8.2, 1, ""},
        {3, 6.4, kByQx, ""},
        {6, 1.2, kByQx, "Lock lubricated and adjusted.\r\nPlease tell us if it sticks again."}}},
      {1,
       "Paint the corridor of the first floor",
       false,
       false,
       {{1, 12.3, 1, ""}, {4, 11.1, 1, ""}}},
      {1,
       "Window of office 9 does not close",
       false,
       false,
       {{1, 90.2, 1, ""},
        {5, 85.4, kByQx, "Waiting for a new handle from the supplier."},
        {13, 84.9, 1, "To: facilities@example.com\r\nSubject: Window of office 9 does not close",
         kStatusTypeEmail}}},
      {2,
       "Forklift charger does not switch on",
       true,
       false,
       {{1, 4.1, 2, ""}, {10, 3.2, 5, "Electrician scheduled for Monday."}}},
      {2,
       "Loading bay light is out",
       false,
       false,
       {{1, 30.5, 2, ""}, {11, 28.3, kByQx, "Waiting for the supplier."}}},
      {3,
       "Heating does not work in the waiting room",
       true,
       false,
       {{1, 6.2, 3, ""}, {12, 5.1, kByQx, "On hold until the boiler inspection."}}},
      {3,
       "Broken blind in reception",
       false,
       false,
       {{1, 20.3, 3, ""},
        {7, 15.2, kByQx, "Closed: the blind is under warranty; the supplier replaces it."}}},
      {4, "Fume hood alarm beeps", true, true, {{1, 1.1, 4, ""}, {2, 0.5, kByQx, ""}}},
  };
}

struct HistoryEntry {
  int user;
  const char* email;
};
constexpr HistoryEntry kHistory[] = {
    {1, "facilities@example.com"}, {1, "bruno.nunez@example.com"}, {2, "ana.torres@example.com"}};

// The service's text for a UTF-8 literal of this file.
Variant Text(const char* utf8) { return Variant(Utf8ToAnsi(utf8)); }

void Run(TADOCommand& command, std::string_view sql, std::initializer_list<Variant> values) {
  command.SetCommandText(std::string(sql));
  int i = 0;
  for (const Variant& value : values) command.Parameters()[i++].SetValue(value);
  command.Execute();
}

void FillRows(TADOCommand& command, TDateTime now) {
  for (const StatusName& s : kStatuses) {
    Run(command, kSqlInsertStatus, {s.id, "EN", Text(s.en)});
    Run(command, kSqlInsertStatus, {s.id, "ES", Text(s.es)});
    Run(command, kSqlInsertStatus, {s.id, "PT", Text(s.pt)});
  }
  // Every user in each language, so that the login lists them whatever language the
  // installation's session-end page gives the service.
  for (const DemoUser& u : kUsers) {
    Variant photo = u.photo >= 0 ? Variant::Blob(MakeDemoPhoto(u.photo)) : Variant();
    for (const char* language : {"EN", "ES", "PT"})
      Run(command, kSqlInsertUser,
          {u.id, language, Text(u.name), Text(u.password), u.administrator, Text(u.email),
           Text(u.phone), Text(u.department), Text(u.group2), photo, u.requestGetDays,
           Text(u.phoneCode), Text(u.mobile), u.sendEmail, false});
  }
  int noteId = 0;
  int requestId = 0;
  for (const DemoRequest& r : Requests()) {
    ++requestId;
    // The request points at its latest status note; a mail note never becomes current.
    int current = 0;
    int next = noteId;
    for (const DemoNote& n : r.notes) {
      ++next;
      if (n.status != kStatusSentByEmail) current = next;
    }
    Run(command, kSqlInsertRequest,
        {requestId, Text(r.description), current, r.user, r.urgent, r.repairNotice});
    for (const DemoNote& n : r.notes) {
      Variant qxName = n.author == kByQx ? Text(kQxAuthor) : Variant();
      Run(command, kSqlInsertStatusNoteQX,
          {++noteId, requestId, n.status, now - n.daysAgo, Text(n.comments), n.author, qxName,
           n.statusType});
    }
  }
  int historyId = 0;
  for (const HistoryEntry& h : kHistory)
    Run(command, kSqlInsertHistEmail, {++historyId, h.user, Text(h.email)});
  Run(command, kSqlInsertSmtp,
      {1, "127.0.0.1", "", "", 2525, 0, 1, 0, 0, "", "", "", false, false, false});
}

}  // namespace

void FillDemoData(TADOConnection& connection, TDateTime now) {
  TADOCommand command;
  command.SetConnection(&connection);
  connection.BeginTrans();
  try {
    FillRows(command, now);
    connection.CommitTrans();
  } catch (...) {
    if (connection.InTransaction()) connection.RollbackTrans();
    throw;
  }
}

}  // namespace qx::admin
