#pragma once

#include "platform/ads/AdtWriter.h"

#include <vector>

namespace quillory::cli::schema {

// The Medisoft tables as the demo practice and the tests write them: the fields the program
// reads, with Medisoft's names, and a few more as a real practice has them.

ads::FieldSpec chars(const char* name, std::uint16_t width);
ads::FieldSpec date(const char* name);
ads::FieldSpec timestamp(const char* name);

enum PatientField {
    P_Chart,
    P_Last,
    P_First,
    P_Middle,
    P_Street1,
    P_Street2,
    P_City,
    P_State,
    P_Zip,
    P_Phone1,
    P_Phone2,
    P_Ssn,
    P_Sex,
    P_Birth,
    P_Employment,
    P_Employer,
    P_Type,
    P_Modified
};
std::vector<ads::FieldSpec> patientFields(); // mwpat.adt

enum CaseField { C_Number, C_Chart, C_Description, C_Guarantor, C_Marital, C_Modified, C_Slots };
enum SlotField { S_Carrier, S_Insured, S_Relationship, S_Group, S_Policy, S_Start, S_End, S_Count };
std::vector<ads::FieldSpec> caseFields(); // mwcas.adt
// The position of a field of insurance slot 0, 1 or 2 in caseFields().
int slotField(int slot, SlotField field);

enum AddressField { A_Code, A_Name, A_Street1, A_Street2, A_City, A_State, A_Zip, A_Phone };
std::vector<ads::FieldSpec> addressFields(); // mwadd.adt

enum CarrierField {
    I_Code,
    I_Name,
    I_Street1,
    I_Street2,
    I_City,
    I_State,
    I_Zip,
    I_Phone,
    I_Extension,
    I_Fax,
    I_Type
};
std::vector<ads::FieldSpec> carrierFields(); // mwins.adt

} // namespace quillory::cli::schema
