// A small mail file as web forms send it, shared by the preview tests: three
// messages, the second without its phone number and with its email left empty,
// the third with its name encoded (quoted-printable UTF-8); each opens with a
// label the template lacks.
#pragma once

#include <string>
#include <vector>

namespace tabulon::test {

inline const char kFormMail[] =
    "From forms@shop.example  Mon Nov 30 09:14:02 2026\n"
    "Date: Mon, 30 Nov 2026 09:14:02 +0100\n"
    "From: Web Form <forms@shop.example>\n"
    "Subject: Contact form\n"
    "\n"
    "Order: 17\n"
    "Name: Ann Lee\n"
    "Email: ann@mail.example\n"
    "Phone: +47 555 0100\n"
    "\n"
    "From forms@shop.example  Mon Nov 30 11:40:57 2026\n"
    "Date: Mon, 30 Nov 2026 11:40:57 +0100\n"
    "From: Web Form <forms@shop.example>\n"
    "Subject: Contact form\n"
    "\n"
    "Order: 18\n"
    "Name: Bo Ek\n"
    "Email:\n"
    "\n"
    "From forms@shop.example  Tue Dec  1 08:00:00 2026\n"
    "Date: Tue, 01 Dec 2026 08:00:00 +0100\n"
    "From: =?UTF-8?Q?J=C3=BCrgen_M=C3=BCller?= <j@post.example>\n"
    "Subject: Contact form\n"
    "MIME-Version: 1.0\n"
    "Content-Type: text/plain; charset=utf-8\n"
    "Content-Transfer-Encoding: quoted-printable\n"
    "\n"
    "Order: 19\n"
    "Name: J=C3=BCrgen M=C3=BCller\n"
    "Email: j@post.example\n"
    "Phone: +49 30 5555\n";

// The template the samples are read with: Order: is left out.
inline const std::vector<std::string> kFormFields = {"Name:", "Email:", "Phone:"};

// The rows kFormMail gives with kFormFields.
inline const std::vector<std::vector<std::string>> kFormRows = {
    {"Ann Lee", "ann@mail.example", "+47 555 0100"},
    {"Bo Ek", "", ""},
    {"J\xC3\xBCrgen M\xC3\xBCller", "j@post.example", "+49 30 5555"},
};

}  // namespace tabulon::test
