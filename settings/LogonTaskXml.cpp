#include "LogonTaskXml.h"

#include "RunValueText.h"

namespace {

// Appends to a bounded buffer; once anything did not fit, nothing more is
// taken and the result is refused as a whole.
class XmlWriter {
public:
    XmlWriter(Utf16Unit* out, size_t outChars) : out_(out), room_(outChars) {}

    void Text(const Utf16Unit* text) {
        for (; *text; text++)
            Unit(*text);
    }
    // Text as element content or attribute value.
    void Escaped(const Utf16Unit* text) {
        for (; *text; text++) {
            switch (*text) {
                case u'&':
                    Text(UTF16("&amp;"));
                    break;
                case u'<':
                    Text(UTF16("&lt;"));
                    break;
                case u'>':
                    Text(UTF16("&gt;"));
                    break;
                case u'"':
                    Text(UTF16("&quot;"));
                    break;
                case u'\'':
                    Text(UTF16("&apos;"));
                    break;
                default:
                    Unit(*text);
            }
        }
    }
    size_t Finish() {
        if (overflow_ || length_ >= room_) {
            if (room_) out_[0] = 0;
            return 0;
        }
        out_[length_] = 0;
        return length_;
    }

private:
    void Unit(Utf16Unit unit) {
        // One unit stays free for the terminator.
        if (length_ + 1 >= room_) {
            overflow_ = true;
            return;
        }
        out_[length_++] = unit;
    }

    Utf16Unit* out_;
    size_t room_;
    size_t length_ = 0;
    bool overflow_ = false;
};

bool ContainsUnit(const Utf16Unit* text, Utf16Unit unit) {
    for (; *text; text++) {
        if (*text == unit) return true;
    }
    return false;
}

// Position of `needle` in text[from, length), or length when absent.
size_t Find(const Utf16Unit* text, size_t length, size_t from, const Utf16Unit* needle) {
    size_t n = Utf16Length(needle);
    for (size_t i = from; i + n <= length; i++) {
        size_t k = 0;
        while (k < n && text[i + k] == needle[k])
            k++;
        if (k == n) return i;
    }
    return length;
}

struct Entity {
    const Utf16Unit* name;
    Utf16Unit unit;
};

const Entity kEntities[] = {
    {UTF16("&amp;"), u'&'},  {UTF16("&lt;"), u'<'},    {UTF16("&gt;"), u'>'},
    {UTF16("&quot;"), u'"'}, {UTF16("&apos;"), u'\''},
};

}  // namespace

size_t ComposeLogonTaskXml(const Utf16Unit* programPath, int mode, const Utf16Unit* userId, Utf16Unit* out,
                           size_t outChars) {
    if (!out || outChars == 0) return 0;
    out[0] = 0;
    const Utf16Unit* word = RunModeWord(mode);
    if (!word || !programPath || !programPath[0] || Utf16Length(programPath) > kRunValueMaxPathChars ||
        ContainsUnit(programPath, u'"')) {
        return 0;
    }
    const bool forUser = userId && userId[0];
    if (forUser && Utf16Length(userId) > kLogonTaskMaxUserChars) return 0;

    XmlWriter xml(out, outChars);
    xml.Text(
        UTF16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
              "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
              "  <RegistrationInfo><Description>Starts Vexa Panel at logon.</Description></RegistrationInfo>\r\n"
              "  <Triggers><LogonTrigger><Enabled>true</Enabled>"));
    if (forUser) {
        xml.Text(UTF16("<UserId>"));
        xml.Escaped(userId);
        xml.Text(UTF16("</UserId>"));
    }
    xml.Text(UTF16("</LogonTrigger></Triggers>\r\n  <Principals><Principal id=\"Author\">"));
    if (forUser) {
        xml.Text(UTF16("<UserId>"));
        xml.Escaped(userId);
        xml.Text(UTF16("</UserId>"));
    }
    // The panel runs as long as the session: no time limit, no stop on
    // battery, and the normal priority a program started by hand has.
    xml.Text(
        UTF16("<LogonType>InteractiveToken</LogonType><RunLevel>HighestAvailable</RunLevel></Principal>"
              "</Principals>\r\n"
              "  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
              "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
              "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
              "<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Priority>4</Priority></Settings>\r\n"
              "  <Actions Context=\"Author\"><Exec><Command>"));
    xml.Escaped(programPath);
    xml.Text(UTF16("</Command><Arguments>"));
    xml.Text(word);
    xml.Text(UTF16("</Arguments></Exec></Actions>\r\n</Task>\r\n"));
    return xml.Finish();
}

bool FindLogonTaskArguments(const Utf16Unit* xml, size_t length, Utf16Unit* out, size_t outChars) {
    if (!out || outChars == 0) return false;
    out[0] = 0;
    if (!xml) return false;
    for (size_t n = 0; n < length; n++) {
        if (xml[n] == 0) {
            length = n;
            break;
        }
    }
    const Utf16Unit open[] = UTF16("<Arguments>");
    size_t exec = Find(xml, length, 0, UTF16("<Exec>"));
    size_t start = Find(xml, length, exec, open);
    if (start == length) return false;
    start += Utf16Length(open);
    size_t end = Find(xml, length, start, UTF16("</Arguments>"));
    if (end == length) return false;

    size_t n = 0;
    for (size_t i = start; i < end;) {
        Utf16Unit unit = xml[i];
        size_t step = 1;
        if (unit == u'&') {
            for (const Entity& entity : kEntities) {
                size_t k = Utf16Length(entity.name);
                if (i + k <= end && Find(xml, i + k, i, entity.name) == i) {
                    unit = entity.unit;
                    step = k;
                    break;
                }
            }
        }
        if (n + 1 >= outChars) {
            out[0] = 0;
            return false;
        }
        out[n++] = unit;
        i += step;
    }
    out[n] = 0;
    return true;
}
