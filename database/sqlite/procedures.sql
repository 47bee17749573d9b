-- Procedures for SQLite: one row of TMX_PROCEDURE each (see schema.sql).
-- PARAMETERS lists the parameters in call order, each a name and a type
-- (INTEGER, NUMERIC, VARCHAR or TIMESTAMP, read as PostgreSQL reads them);
-- BODY uses them as :name.
-- GETDATE() and TO_DATE() are functions the component registers on its
-- connections. INSERT OR REPLACE, so the file can be run again to update them.
-- One block per procedure. Keep semicolons out of comments.

-- ---------------------------------------------------------------------------
-- sp_tmx_con_Data_Servidor
-- The server's current local date and time.
-- Answers one row: data_servidor.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'sp_tmx_con_Data_Servidor',
'',
'SELECT GETDATE() AS data_servidor'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_EMPRESA_OP p_ponto_operacao_id
-- The company a branch belongs to.
-- Answers one row (empresa_Id), or no row when the branch does not exist.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_CON_EMPRESA_OP',
'p_ponto_operacao_id INTEGER',
'SELECT PO.EMPRESA_ID AS empresa_Id
   FROM PONTO_OPERACAO PO
  WHERE PO.PONTO_OPERACAO_ID = :p_ponto_operacao_id'
);

-- ---------------------------------------------------------------------------
-- sp_plv_con_docto_transp_cli p_cliente_id, p_num_docto_transporte
-- The client's live documents that carry a number.
-- Answers one row per document (docto_transporte_id), none when the client
-- has no live document with that number. A NULL matches nothing.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'sp_plv_con_docto_transp_cli',
'p_cliente_id INTEGER, p_num_docto_transporte INTEGER',
'SELECT DOC.DOCTO_TRANSPORTE_ID AS docto_transporte_id
   FROM DOCTO_TRANSPORTE DOC
  WHERE DOC.CLIENTE_ID = :p_cliente_id
    AND DOC.NUM_DOCTO_TRANSPORTE = :p_num_docto_transporte
    AND DOC.TAB_STATUS_ID = 1
  ORDER BY DOC.DOCTO_TRANSPORTE_ID'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 p_cliente_id
-- A client's name and documents (CNPJ, CPF).
-- Answers one row (cliente, indicativo_pf_pj, pj_cgc_cliente,
-- pf_cpf_cliente), or no row for an unknown or NULL client.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_CON_CLIENTE_DOCTO_TRANSP1',
'p_cliente_id INTEGER',
'SELECT CLI.NOME             AS cliente,
        CLI.INDICATIVO_PF_PJ AS indicativo_pf_pj,
        CLI.PJ_CGC           AS pj_cgc_cliente,
        CLI.PF_CPF           AS pf_cpf_cliente
   FROM VCLIENTE CLI
  WHERE CLI.PESSOA_ID = :p_cliente_id'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_NF_Conhec2 p_empresa_id, p_docto_transporte_id
-- The live invoices of a document of a company, in the order they were
-- entered.
-- Answers one row per invoice (nota_fiscal, Conteudo, num_volume,
-- val_declarado), none when the document has no live invoice.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_CON_NF_Conhec2',
'p_empresa_id INTEGER, p_docto_transporte_id INTEGER',
'SELECT NF.NOTA_FISCAL   AS nota_fiscal,
        NF.CONTEUDO      AS Conteudo,
        NF.NUM_VOLUME    AS num_volume,
        NF.VAL_DECLARADO AS val_declarado
   FROM NOTA_FISCAL NF
  WHERE NF.DOCTO_TRANSPORTE_ID = :p_docto_transporte_id
    AND NF.EMPRESA_ID = :p_empresa_id
    AND NF.TAB_STATUS_ID = 1
  ORDER BY NF.NOTA_FISCAL_ID'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_CAD_Docto_Transporte5 p_docto_transporte_id, p_empresa_id
-- A live transport document (type 1) of a company, with its sender,
-- recipient, origin and destination.
-- Answers one row, or no row when the document is deleted, of another type
-- or company, or when an address or city it points to is missing.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_CON_CAD_Docto_Transporte5',
'p_docto_transporte_id INTEGER, p_empresa_id INTEGER',
'SELECT DOC.EMPRESA_ID                AS empresa_Id,
        DOC.NUM_DOCTO_TRANSPORTE      AS num_docto_transporte,
        DOC.PONTO_OPERACAO_ID         AS ponto_operacao_id,
        DOC.TAB_TIPO_COBRANCA_ID      AS TAB_TIPO_COBRANCA_ID,
        DOC.CLIENTE_ID                AS cliente_id,
        DOC.DATA_EMISSAO              AS Data_Emissao,
        REM.NOME                      AS remetente,
        REM.ENDERECO                  AS end_remetente,
        REM.PJ_CGC                    AS pj_cgc_remetente,
        REM.PF_CPF                    AS pf_cpf_remetente,
        REM.MUNICIPIO                 AS municipio_remetente,
        REM.INDICATIVO_PF_PJ          AS Indic_pf_pj_Remetente,
        REM.PESSOA_ID                 AS remetente_id,
        REM.TELEFONE                  AS telefone_remetente,
        DOC.END_DESTINATARIO_ID       AS End_Destinatario_id,
        DES.NOME                      AS destinatario,
        DES.ENDERECO                  AS end_destinatario,
        DES.PJ_CGC                    AS pj_cgc_destinatario,
        DES.PF_CPF                    AS pf_cpf_destinatario,
        DES.INDICATIVO_PF_PJ          AS Indic_pf_pj_Destinatario,
        DES.MUNICIPIO                 AS municipio_destinatario,
        DES.PESSOA_ID                 AS destinatario_id,
        DES.TELEFONE                  AS telefone_destinatario,
        DOC.END_REMETENTE_ID          AS End_Remetente_id,
        DOC.ORIGEM_ID                 AS origem_id,
        ORI.MUNICIPIO                 AS origem,
        DET.MUNICIPIO                 AS destino,
        DOC.DESTINO_ID                AS destino_Id,
        DOC.PESO_REAL                 AS peso_real,
        DOC.VAL_DECLARADO             AS val_declarado,
        DOC.PONTO_OPERACAO_DESTINO_ID AS ponto_operacao_destino_id,
        DOC.TAB_TIPO_DESPACHO_ID      AS tab_tipo_despacho_id,
        DOC.TAB_SIT_ENTREGA_ID        AS tab_sit_entrega_id,
        DOC.NUM_VOLUME                AS num_volume,
        DOC.TAB_TIPO_DOCTO_TRANSP_ID  AS Tab_Tipo_Docto_Transp_id
   FROM DOCTO_TRANSPORTE DOC
   JOIN VENDERECO_PESSOA REM ON REM.ENDERECO_PESSOA_ID = DOC.END_REMETENTE_ID
   JOIN VENDERECO_PESSOA DES ON DES.ENDERECO_PESSOA_ID = DOC.END_DESTINATARIO_ID
   JOIN MUNICIPIO ORI ON ORI.MUNICIPIO_ID = DOC.ORIGEM_ID
   JOIN MUNICIPIO DET ON DET.MUNICIPIO_ID = DOC.DESTINO_ID
  WHERE DOC.DOCTO_TRANSPORTE_ID = :p_docto_transporte_id
    AND DOC.EMPRESA_ID = :p_empresa_id
    AND DOC.TAB_STATUS_ID = 1
    AND DOC.TAB_TIPO_DOCTO_TRANSP_ID = 1'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_LISTA_Docto_Transp2 p_num_docto_transporte, p_data_inicial,
--                                p_data_final, p_empresa_id
-- A company's live transport documents (type 1): those with a number or,
-- without a number, those issued between two days (both whole, included).
-- The dates come as text 'yyyy/mm/dd hh:mm', their time is ignored: days
-- are compared as days, so an end on 9999/12/31 lists up to the last day.
-- Answers one row per document (docto_transporte_Id, remetente,
-- destinatario, origem, destino, num_docto_transporte, Tipo_Docto_Transp)
-- ordered by identifier. No row when neither a number nor both dates are given.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_CON_LISTA_Docto_Transp2',
'p_num_docto_transporte INTEGER, p_data_inicial TIMESTAMP, p_data_final TIMESTAMP, p_empresa_id INTEGER',
'SELECT DOC.DOCTO_TRANSPORTE_ID      AS docto_transporte_Id,
        REM.NOME                     AS remetente,
        DES.NOME                     AS destinatario,
        ORI.MUNICIPIO                AS origem,
        DET.MUNICIPIO                AS destino,
        DOC.NUM_DOCTO_TRANSPORTE     AS num_docto_transporte,
        DOC.TAB_TIPO_DOCTO_TRANSP_ID AS Tipo_Docto_Transp
   FROM DOCTO_TRANSPORTE DOC
   JOIN VENDERECO_PESSOA REM ON REM.ENDERECO_PESSOA_ID = DOC.END_REMETENTE_ID
   JOIN VENDERECO_PESSOA DES ON DES.ENDERECO_PESSOA_ID = DOC.END_DESTINATARIO_ID
   JOIN MUNICIPIO ORI ON ORI.MUNICIPIO_ID = DOC.ORIGEM_ID
   JOIN MUNICIPIO DET ON DET.MUNICIPIO_ID = DOC.DESTINO_ID
  WHERE DOC.EMPRESA_ID = :p_empresa_id
    AND DOC.TAB_STATUS_ID = 1
    AND DOC.TAB_TIPO_DOCTO_TRANSP_ID = 1
    AND (DOC.NUM_DOCTO_TRANSPORTE = :p_num_docto_transporte
         OR (:p_num_docto_transporte IS NULL
             AND date(DOC.DATA_EMISSAO) >= date(TO_DATE(:p_data_inicial, ''YYYY/MM/DD hh24:mi''))
             AND date(DOC.DATA_EMISSAO) <= date(TO_DATE(:p_data_final, ''YYYY/MM/DD hh24:mi''))))
  ORDER BY DOC.DOCTO_TRANSPORTE_ID'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_VER_DUPL_NUM_DOCTO2 p_num_docto_transporte, p_ponto_operacao_id,
--                            p_docto_transporte_id, p_tab_tipo_docto_transp_id
-- How many other live documents of the branch use the number: the document
-- being changed does not count (a new one passes null), deleted ones neither,
-- and the document type plays no part, as on the inline path. The number 0
-- comes as null and finds the documents without a number, as the inline
-- count's "is null" does.
-- Answers one row: contador.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_VER_DUPL_NUM_DOCTO2',
'p_num_docto_transporte INTEGER, p_ponto_operacao_id INTEGER, p_docto_transporte_id INTEGER, p_tab_tipo_docto_transp_id INTEGER',
'SELECT COUNT(*) AS contador
   FROM DOCTO_TRANSPORTE DOC
  WHERE DOC.NUM_DOCTO_TRANSPORTE IS :p_num_docto_transporte
    AND DOC.PONTO_OPERACAO_ID = :p_ponto_operacao_id
    AND (:p_docto_transporte_id IS NULL OR DOC.DOCTO_TRANSPORTE_ID <> :p_docto_transporte_id)
    AND DOC.TAB_STATUS_ID = 1'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_INC_Docto_Transporte4 p_empresa_id, p_num_docto_transporte,
--     p_ponto_operacao_id, p_tab_tipo_cobranca_id, p_cliente_id,
--     p_end_destinatario_id, p_end_remetente_id, p_origem_id, p_destino_id,
--     p_peso_real, p_val_declarado, p_data_emissao,
--     p_ponto_operacao_destino_id, p_tab_tipo_despacho_id,
--     p_tab_sit_entrega_id, p_num_volume, p_tab_tipo_docto_transp_id
-- Issues a live transport document. Its identifier is the next value of
-- INFRA_IDS.DOCTO_TRANSPORTE_ID (a NULL counter counts as 0), the counter the
-- inline path also takes its identifiers from. The date comes as text
-- 'yyyy/mm/dd hh:mm'.
-- A live document of the branch with the same number refuses it and nothing
-- is written: the counters only move when no such document exists, and the
-- row is only written when they moved. Without the INFRA_IDS row nothing is
-- written either. The insert is audited in LOG_SISTEMA (table 13, action 1,
-- the new identifier) as the inline path does. The call runs under BEGIN
-- IMMEDIATE, so no other writer can get in between.
-- Answers one row (retorno, msg_ret, docto_transporte_Id): 0, '' and the new
-- identifier, or 1, the message and NULL.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_INC_Docto_Transporte4',
'p_empresa_id INTEGER, p_num_docto_transporte INTEGER, p_ponto_operacao_id INTEGER, p_tab_tipo_cobranca_id INTEGER, p_cliente_id INTEGER, p_end_destinatario_id INTEGER, p_end_remetente_id INTEGER, p_origem_id INTEGER, p_destino_id INTEGER, p_peso_real NUMERIC, p_val_declarado NUMERIC, p_data_emissao TIMESTAMP, p_ponto_operacao_destino_id INTEGER, p_tab_tipo_despacho_id INTEGER, p_tab_sit_entrega_id INTEGER, p_num_volume INTEGER, p_tab_tipo_docto_transp_id INTEGER',
'UPDATE INFRA_IDS
    SET DOCTO_TRANSPORTE_ID = COALESCE(DOCTO_TRANSPORTE_ID, 0) + 1,
        LOG_SISTEMA_ID = COALESCE(LOG_SISTEMA_ID, 0) + 1
  WHERE NOT EXISTS (SELECT 1
                      FROM DOCTO_TRANSPORTE DOC
                     WHERE DOC.PONTO_OPERACAO_ID = :p_ponto_operacao_id
                       AND DOC.NUM_DOCTO_TRANSPORTE IS :p_num_docto_transporte
                       AND DOC.TAB_STATUS_ID = 1);
INSERT INTO DOCTO_TRANSPORTE (DOCTO_TRANSPORTE_ID, EMPRESA_ID, NUM_DOCTO_TRANSPORTE,
                              PONTO_OPERACAO_ID, TAB_TIPO_COBRANCA_ID, CLIENTE_ID,
                              END_DESTINATARIO_ID, END_REMETENTE_ID, ORIGEM_ID, DESTINO_ID,
                              PESO_REAL, VAL_DECLARADO, DATA_EMISSAO,
                              PONTO_OPERACAO_DESTINO_ID, TAB_TIPO_DESPACHO_ID,
                              TAB_SIT_ENTREGA_ID, NUM_VOLUME, TAB_TIPO_DOCTO_TRANSP_ID,
                              TAB_STATUS_ID)
SELECT IDS.DOCTO_TRANSPORTE_ID, :p_empresa_id, :p_num_docto_transporte,
       :p_ponto_operacao_id, :p_tab_tipo_cobranca_id, :p_cliente_id,
       :p_end_destinatario_id, :p_end_remetente_id, :p_origem_id, :p_destino_id,
       :p_peso_real, :p_val_declarado, TO_DATE(:p_data_emissao, ''YYYY/MM/DD hh24:mi''),
       :p_ponto_operacao_destino_id, :p_tab_tipo_despacho_id,
       :p_tab_sit_entrega_id, :p_num_volume, :p_tab_tipo_docto_transp_id,
       1
  FROM INFRA_IDS IDS
 WHERE changes() = 1;
INSERT INTO LOG_SISTEMA (LOG_SISTEMA_ID, TABELA_SISTEMA_ID, TAB_TIPO_ACAO_ID, USUARIO_ID,
                         REGISTRO_ID, DATA_LOG)
SELECT IDS.LOG_SISTEMA_ID, 13, 1, NULL, IDS.DOCTO_TRANSPORTE_ID, GETDATE()
  FROM INFRA_IDS IDS
 WHERE changes() = 1;
SELECT CASE WHEN changes() = 1 THEN 0 ELSE 1 END AS retorno,
       CASE WHEN changes() = 1 THEN ''''
            WHEN NOT EXISTS (SELECT 1 FROM INFRA_IDS)
            THEN ''Não há registro no banco de dados na tabela Infra_ids. ''
            ELSE ''Já existe um conhecimento com esse número.'' END AS msg_ret,
       CASE WHEN changes() = 1
            THEN (SELECT IDS.DOCTO_TRANSPORTE_ID FROM INFRA_IDS IDS) END AS docto_transporte_Id'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_ALT_CAD_Docto_Transporte4 p_docto_transporte_id, p_empresa_id,
--     p_num_docto_transporte, p_ponto_operacao_id, p_tab_tipo_cobranca_id,
--     p_cliente_id, p_end_destinatario_id, p_end_remetente_id, p_origem_id,
--     p_destino_id, p_peso_real, p_val_declarado, p_data_emissao,
--     p_ponto_operacao_destino_id, p_tab_tipo_despacho_id, p_num_volume,
--     p_tab_tipo_docto_transp_id
-- Rewrites a live transport document (the delivery status stays as it is).
-- The date comes as text 'yyyy/mm/dd hh:mm'. The document may keep its own
-- number, but not take one another live document of the branch holds: then
-- nothing is written. The rewrite is audited in LOG_SISTEMA (table 13,
-- action 2, the document) as the inline path does, and without the INFRA_IDS
-- row that the audit takes its identifier from nothing is written.
-- Answers one row (retorno, msg_ret): 0 and '', or 1 and the message.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_ALT_CAD_Docto_Transporte4',
'p_docto_transporte_id INTEGER, p_empresa_id INTEGER, p_num_docto_transporte INTEGER, p_ponto_operacao_id INTEGER, p_tab_tipo_cobranca_id INTEGER, p_cliente_id INTEGER, p_end_destinatario_id INTEGER, p_end_remetente_id INTEGER, p_origem_id INTEGER, p_destino_id INTEGER, p_peso_real NUMERIC, p_val_declarado NUMERIC, p_data_emissao TIMESTAMP, p_ponto_operacao_destino_id INTEGER, p_tab_tipo_despacho_id INTEGER, p_num_volume INTEGER, p_tab_tipo_docto_transp_id INTEGER',
'UPDATE DOCTO_TRANSPORTE
    SET EMPRESA_ID                = :p_empresa_id,
        NUM_DOCTO_TRANSPORTE      = :p_num_docto_transporte,
        PONTO_OPERACAO_ID         = :p_ponto_operacao_id,
        TAB_TIPO_COBRANCA_ID      = :p_tab_tipo_cobranca_id,
        CLIENTE_ID                = :p_cliente_id,
        END_DESTINATARIO_ID       = :p_end_destinatario_id,
        END_REMETENTE_ID          = :p_end_remetente_id,
        ORIGEM_ID                 = :p_origem_id,
        DESTINO_ID                = :p_destino_id,
        PESO_REAL                 = :p_peso_real,
        VAL_DECLARADO             = :p_val_declarado,
        DATA_EMISSAO              = TO_DATE(:p_data_emissao, ''YYYY/MM/DD hh24:mi''),
        PONTO_OPERACAO_DESTINO_ID = :p_ponto_operacao_destino_id,
        TAB_TIPO_DESPACHO_ID      = :p_tab_tipo_despacho_id,
        NUM_VOLUME                = :p_num_volume,
        TAB_TIPO_DOCTO_TRANSP_ID  = :p_tab_tipo_docto_transp_id
  WHERE DOCTO_TRANSPORTE_ID = :p_docto_transporte_id
    AND TAB_STATUS_ID = 1
    AND EXISTS (SELECT 1 FROM INFRA_IDS)
    AND NOT EXISTS (SELECT 1
                      FROM DOCTO_TRANSPORTE OTHER
                     WHERE OTHER.PONTO_OPERACAO_ID = :p_ponto_operacao_id
                       AND OTHER.NUM_DOCTO_TRANSPORTE IS :p_num_docto_transporte
                       AND OTHER.DOCTO_TRANSPORTE_ID <> :p_docto_transporte_id
                       AND OTHER.TAB_STATUS_ID = 1);
UPDATE INFRA_IDS
   SET LOG_SISTEMA_ID = COALESCE(LOG_SISTEMA_ID, 0) + 1
 WHERE changes() = 1;
INSERT INTO LOG_SISTEMA (LOG_SISTEMA_ID, TABELA_SISTEMA_ID, TAB_TIPO_ACAO_ID, USUARIO_ID,
                         REGISTRO_ID, DATA_LOG)
SELECT IDS.LOG_SISTEMA_ID, 13, 2, NULL, :p_docto_transporte_id, GETDATE()
  FROM INFRA_IDS IDS
 WHERE changes() = 1;
SELECT CASE WHEN changes() = 1 THEN 0 ELSE 1 END AS retorno,
       CASE WHEN changes() = 1 THEN ''''
            WHEN NOT EXISTS (SELECT 1
                               FROM DOCTO_TRANSPORTE DOC
                              WHERE DOC.DOCTO_TRANSPORTE_ID = :p_docto_transporte_id
                                AND DOC.TAB_STATUS_ID = 1)
            THEN ''Conhecimento não cadastrado.''
            WHEN NOT EXISTS (SELECT 1 FROM INFRA_IDS)
            THEN ''Não há registro no banco de dados na tabela Infra_ids. ''
            ELSE ''Já existe um conhecimento com esse número.'' END AS msg_ret'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_EXC_CAD_Docto_Transporte p_docto_transporte_id
-- Marks a transport document deleted (status 2), which frees its number.
-- Its invoices stay as they are.
-- Answers one row (retorno, msg_ret): 0 and '', also for a document that
-- does not exist or is already deleted.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_EXC_CAD_Docto_Transporte',
'p_docto_transporte_id INTEGER',
'UPDATE DOCTO_TRANSPORTE
    SET TAB_STATUS_ID = 2
  WHERE DOCTO_TRANSPORTE_ID = :p_docto_transporte_id;
SELECT 0 AS retorno, '''' AS msg_ret'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_EXC_NF_Conhec2 p_docto_transporte_id, p_usuario_internet_id
-- Marks every invoice of a transport document deleted (status 2), whatever
-- its company and status. The user is not used.
-- Answers one row (retorno, msg_ret): 0 and ''.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_EXC_NF_Conhec2',
'p_docto_transporte_id INTEGER, p_usuario_internet_id INTEGER',
'UPDATE NOTA_FISCAL
    SET TAB_STATUS_ID = 2
  WHERE DOCTO_TRANSPORTE_ID = :p_docto_transporte_id;
SELECT 0 AS retorno, '''' AS msg_ret'
);

-- ---------------------------------------------------------------------------
-- SP_TMX_INC_NF_Conhec2 p_empresa_id, p_nota_fiscal, p_conteudo,
--                       p_val_declarado, p_num_volume, p_docto_transporte_id
-- Adds a live invoice to a transport document. Its identifier is the next
-- value of INFRA_IDS.NOTA_FISCAL_ID (a NULL counter counts as 0); the insert
-- is audited in LOG_SISTEMA (table 37, action 1, the new identifier) as the
-- inline path does. Without the INFRA_IDS row nothing is written.
-- Answers one row (retorno, msg_ret): 0 and '', or 1 and the message.
-- ---------------------------------------------------------------------------
INSERT OR REPLACE INTO TMX_PROCEDURE (NAME, PARAMETERS, BODY) VALUES (
'SP_TMX_INC_NF_Conhec2',
'p_empresa_id INTEGER, p_nota_fiscal VARCHAR, p_conteudo VARCHAR, p_val_declarado NUMERIC, p_num_volume INTEGER, p_docto_transporte_id INTEGER',
'UPDATE INFRA_IDS
    SET NOTA_FISCAL_ID = COALESCE(NOTA_FISCAL_ID, 0) + 1,
        LOG_SISTEMA_ID = COALESCE(LOG_SISTEMA_ID, 0) + 1;
INSERT INTO NOTA_FISCAL (NOTA_FISCAL_ID, EMPRESA_ID, DOCTO_TRANSPORTE_ID, NOTA_FISCAL,
                         CONTEUDO, VAL_DECLARADO, NUM_VOLUME, TAB_STATUS_ID)
SELECT IDS.NOTA_FISCAL_ID, :p_empresa_id, :p_docto_transporte_id, :p_nota_fiscal,
       :p_conteudo, :p_val_declarado, :p_num_volume, 1
  FROM INFRA_IDS IDS;
INSERT INTO LOG_SISTEMA (LOG_SISTEMA_ID, TABELA_SISTEMA_ID, TAB_TIPO_ACAO_ID, USUARIO_ID,
                         REGISTRO_ID, DATA_LOG)
SELECT IDS.LOG_SISTEMA_ID, 37, 1, NULL, IDS.NOTA_FISCAL_ID, GETDATE()
  FROM INFRA_IDS IDS;
SELECT CASE WHEN EXISTS (SELECT 1 FROM INFRA_IDS) THEN 0 ELSE 1 END AS retorno,
       CASE WHEN EXISTS (SELECT 1 FROM INFRA_IDS) THEN ''''
            ELSE ''Não há registro no banco de dados na tabela Infra_ids. '' END AS msg_ret'
);
