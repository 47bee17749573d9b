-- Procedures for PostgreSQL: each is a set-returning function the component
-- calls as SELECT * FROM name(args). Answer columns are named as the
-- component reads them (it ignores case). CREATE OR REPLACE, so the file can
-- be run again to update them. One block per procedure.

-- ---------------------------------------------------------------------------
-- sp_tmx_con_Data_Servidor
-- The server's current local date and time.
-- Answers one row: data_servidor.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_con_data_servidor()
    RETURNS TABLE (data_servidor TIMESTAMP)
    LANGUAGE SQL STABLE
AS $$
    SELECT GETDATE()
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_EMPRESA_OP p_ponto_operacao_id
-- The company a branch belongs to.
-- Answers one row (empresa_id), or no row when the branch does not exist.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_con_empresa_op(p_ponto_operacao_id INTEGER)
    RETURNS TABLE (empresa_id INTEGER)
    LANGUAGE SQL STABLE
AS $$
    SELECT po.empresa_id
      FROM ponto_operacao po
     WHERE po.ponto_operacao_id = p_ponto_operacao_id
$$;

-- ---------------------------------------------------------------------------
-- sp_plv_con_docto_transp_cli p_cliente_id, p_num_docto_transporte
-- The client's live documents that carry a number.
-- Answers one row per document (docto_transporte_id), none when the client
-- has no live document with that number. A NULL matches nothing.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_plv_con_docto_transp_cli(p_cliente_id INTEGER,
                                                       p_num_docto_transporte INTEGER)
    RETURNS TABLE (docto_transporte_id INTEGER)
    LANGUAGE SQL STABLE
AS $$
    SELECT doc.docto_transporte_id
      FROM docto_transporte doc
     WHERE doc.cliente_id = p_cliente_id
       AND doc.num_docto_transporte = p_num_docto_transporte
       AND doc.tab_status_id = 1
     ORDER BY doc.docto_transporte_id
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 p_cliente_id
-- A client's name and documents (CNPJ, CPF).
-- Answers one row (cliente, indicativo_pf_pj, pj_cgc_cliente,
-- pf_cpf_cliente), or no row for an unknown or NULL client.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_con_cliente_docto_transp1(p_cliente_id INTEGER)
    RETURNS TABLE (cliente          VARCHAR,
                   indicativo_pf_pj VARCHAR,
                   pj_cgc_cliente   VARCHAR,
                   pf_cpf_cliente   VARCHAR)
    LANGUAGE SQL STABLE
AS $$
    SELECT cli.nome,
           cli.indicativo_pf_pj,
           cli.pj_cgc,
           cli.pf_cpf
      FROM vcliente cli
     WHERE cli.pessoa_id = p_cliente_id
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_NF_Conhec2 p_empresa_id, p_docto_transporte_id
-- The live invoices of a document of a company, in the order they were
-- entered.
-- Answers one row per invoice (nota_fiscal, conteudo, num_volume,
-- val_declarado), none when the document has no live invoice.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_con_nf_conhec2(p_empresa_id INTEGER,
                                                 p_docto_transporte_id INTEGER)
    RETURNS TABLE (nota_fiscal   VARCHAR,
                   conteudo      VARCHAR,
                   num_volume    INTEGER,
                   val_declarado NUMERIC)
    LANGUAGE SQL STABLE
AS $$
    SELECT nf.nota_fiscal,
           nf.conteudo,
           nf.num_volume,
           nf.val_declarado
      FROM nota_fiscal nf
     WHERE nf.docto_transporte_id = p_docto_transporte_id
       AND nf.empresa_id = p_empresa_id
       AND nf.tab_status_id = 1
     ORDER BY nf.nota_fiscal_id
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_CAD_Docto_Transporte5 p_docto_transporte_id, p_empresa_id
-- A live transport document (type 1) of a company, with its sender,
-- recipient, origin and destination.
-- Answers one row, or no row when the document is deleted, of another type
-- or company, or when an address or city it points to is missing.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_con_cad_docto_transporte5(p_docto_transporte_id INTEGER,
                                                            p_empresa_id INTEGER)
    RETURNS TABLE (empresa_id                INTEGER,
                   num_docto_transporte      INTEGER,
                   ponto_operacao_id         INTEGER,
                   tab_tipo_cobranca_id      INTEGER,
                   cliente_id                INTEGER,
                   data_emissao              TIMESTAMP,
                   remetente                 VARCHAR,
                   end_remetente             VARCHAR,
                   pj_cgc_remetente          VARCHAR,
                   pf_cpf_remetente          VARCHAR,
                   municipio_remetente       VARCHAR,
                   indic_pf_pj_remetente     VARCHAR,
                   remetente_id              INTEGER,
                   telefone_remetente        VARCHAR,
                   end_destinatario_id       INTEGER,
                   destinatario              VARCHAR,
                   end_destinatario          VARCHAR,
                   pj_cgc_destinatario       VARCHAR,
                   pf_cpf_destinatario       VARCHAR,
                   indic_pf_pj_destinatario  VARCHAR,
                   municipio_destinatario    VARCHAR,
                   destinatario_id           INTEGER,
                   telefone_destinatario     VARCHAR,
                   end_remetente_id          INTEGER,
                   origem_id                 INTEGER,
                   origem                    VARCHAR,
                   destino                   VARCHAR,
                   destino_id                INTEGER,
                   peso_real                 NUMERIC,
                   val_declarado             NUMERIC,
                   ponto_operacao_destino_id INTEGER,
                   tab_tipo_despacho_id      INTEGER,
                   tab_sit_entrega_id        INTEGER,
                   num_volume                INTEGER,
                   tab_tipo_docto_transp_id  INTEGER)
    LANGUAGE SQL STABLE
AS $$
    SELECT doc.empresa_id,
           doc.num_docto_transporte,
           doc.ponto_operacao_id,
           doc.tab_tipo_cobranca_id,
           doc.cliente_id,
           doc.data_emissao,
           rem.nome,
           rem.endereco,
           rem.pj_cgc,
           rem.pf_cpf,
           rem.municipio,
           rem.indicativo_pf_pj,
           rem.pessoa_id,
           rem.telefone,
           doc.end_destinatario_id,
           des.nome,
           des.endereco,
           des.pj_cgc,
           des.pf_cpf,
           des.indicativo_pf_pj,
           des.municipio,
           des.pessoa_id,
           des.telefone,
           doc.end_remetente_id,
           doc.origem_id,
           ori.municipio,
           det.municipio,
           doc.destino_id,
           doc.peso_real,
           doc.val_declarado,
           doc.ponto_operacao_destino_id,
           doc.tab_tipo_despacho_id,
           doc.tab_sit_entrega_id,
           doc.num_volume,
           doc.tab_tipo_docto_transp_id
      FROM docto_transporte doc
      JOIN vendereco_pessoa rem ON rem.endereco_pessoa_id = doc.end_remetente_id
      JOIN vendereco_pessoa des ON des.endereco_pessoa_id = doc.end_destinatario_id
      JOIN municipio ori ON ori.municipio_id = doc.origem_id
      JOIN municipio det ON det.municipio_id = doc.destino_id
     WHERE doc.docto_transporte_id = p_docto_transporte_id
       AND doc.empresa_id = p_empresa_id
       AND doc.tab_status_id = 1
       AND doc.tab_tipo_docto_transp_id = 1
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_CON_LISTA_Docto_Transp2 p_num_docto_transporte, p_data_inicial,
--                                p_data_final, p_empresa_id
-- A company's live transport documents (type 1): those with a number or,
-- without a number, those issued between two days (both whole, included).
-- The time of day of the dates is ignored.
-- Answers one row per document (docto_transporte_id, remetente,
-- destinatario, origem, destino, num_docto_transporte, tipo_docto_transp)
-- ordered by identifier. No row when neither a number nor both dates are given.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_con_lista_docto_transp2(p_num_docto_transporte INTEGER,
                                                          p_data_inicial TIMESTAMP,
                                                          p_data_final TIMESTAMP,
                                                          p_empresa_id INTEGER)
    RETURNS TABLE (docto_transporte_id  INTEGER,
                   remetente            VARCHAR,
                   destinatario         VARCHAR,
                   origem               VARCHAR,
                   destino              VARCHAR,
                   num_docto_transporte INTEGER,
                   tipo_docto_transp    INTEGER)
    LANGUAGE SQL STABLE
AS $$
    SELECT doc.docto_transporte_id,
           rem.nome,
           des.nome,
           ori.municipio,
           det.municipio,
           doc.num_docto_transporte,
           doc.tab_tipo_docto_transp_id
      FROM docto_transporte doc
      JOIN vendereco_pessoa rem ON rem.endereco_pessoa_id = doc.end_remetente_id
      JOIN vendereco_pessoa des ON des.endereco_pessoa_id = doc.end_destinatario_id
      JOIN municipio ori ON ori.municipio_id = doc.origem_id
      JOIN municipio det ON det.municipio_id = doc.destino_id
     WHERE doc.empresa_id = p_empresa_id
       AND doc.tab_status_id = 1
       AND doc.tab_tipo_docto_transp_id = 1
       AND (doc.num_docto_transporte = p_num_docto_transporte
            OR (p_num_docto_transporte IS NULL
                AND doc.data_emissao >= date_trunc('day', p_data_inicial)
                AND doc.data_emissao < date_trunc('day', p_data_final) + INTERVAL '1 day'))
     ORDER BY doc.docto_transporte_id
$$;

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
CREATE OR REPLACE FUNCTION sp_tmx_ver_dupl_num_docto2(p_num_docto_transporte     INTEGER,
                                                      p_ponto_operacao_id        INTEGER,
                                                      p_docto_transporte_id      INTEGER,
                                                      p_tab_tipo_docto_transp_id INTEGER)
    RETURNS TABLE (contador INTEGER)
    LANGUAGE SQL STABLE
AS $$
    SELECT COUNT(*)::INTEGER
      FROM docto_transporte doc
     WHERE doc.num_docto_transporte IS NOT DISTINCT FROM p_num_docto_transporte
       AND doc.ponto_operacao_id = p_ponto_operacao_id
       AND (p_docto_transporte_id IS NULL OR doc.docto_transporte_id <> p_docto_transporte_id)
       AND doc.tab_status_id = 1
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_INC_Docto_Transporte4 p_empresa_id, p_num_docto_transporte,
--     p_ponto_operacao_id, p_tab_tipo_cobranca_id, p_cliente_id,
--     p_end_destinatario_id, p_end_remetente_id, p_origem_id, p_destino_id,
--     p_peso_real, p_val_declarado, p_data_emissao,
--     p_ponto_operacao_destino_id, p_tab_tipo_despacho_id,
--     p_tab_sit_entrega_id, p_num_volume, p_tab_tipo_docto_transp_id
-- Issues a live transport document. Its identifier is the next value of
-- infra_ids.docto_transporte_id (a NULL counter counts as 0), the counter the
-- inline path also takes its identifiers from.
-- A live document of the branch with the same number refuses it and nothing
-- is written; so does a missing INFRA_IDS row. The insert is audited in
-- log_sistema (table 13, action 1, the new identifier) as the inline path
-- does. Two calls at once with the same number may both pass the
-- first test: the unique index then stops the later one, which gets the same
-- refusal (its counter step is undone with the row).
-- Answers one row (retorno, msg_ret, docto_transporte_id): 0, '' and the new
-- identifier, or 1, the message and NULL.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_inc_docto_transporte4(p_empresa_id                INTEGER,
                                                        p_num_docto_transporte      INTEGER,
                                                        p_ponto_operacao_id         INTEGER,
                                                        p_tab_tipo_cobranca_id      INTEGER,
                                                        p_cliente_id                INTEGER,
                                                        p_end_destinatario_id       INTEGER,
                                                        p_end_remetente_id          INTEGER,
                                                        p_origem_id                 INTEGER,
                                                        p_destino_id                INTEGER,
                                                        p_peso_real                 NUMERIC,
                                                        p_val_declarado             NUMERIC,
                                                        p_data_emissao              TIMESTAMP,
                                                        p_ponto_operacao_destino_id INTEGER,
                                                        p_tab_tipo_despacho_id      INTEGER,
                                                        p_tab_sit_entrega_id        INTEGER,
                                                        p_num_volume                INTEGER,
                                                        p_tab_tipo_docto_transp_id  INTEGER)
    RETURNS TABLE (retorno             INTEGER,
                   msg_ret             VARCHAR,
                   docto_transporte_id INTEGER)
    LANGUAGE plpgsql
AS $$
DECLARE
    v_docto_transporte_id INTEGER;
    v_log_id              INTEGER;
    v_constraint          TEXT;
BEGIN
    IF EXISTS (SELECT 1
                 FROM docto_transporte doc
                WHERE doc.ponto_operacao_id = p_ponto_operacao_id
                  AND doc.num_docto_transporte IS NOT DISTINCT FROM p_num_docto_transporte
                  AND doc.tab_status_id = 1) THEN
        RETURN QUERY SELECT 1, 'Já existe um conhecimento com esse número.'::VARCHAR, NULL::INTEGER;
        RETURN;
    END IF;
    BEGIN
        UPDATE infra_ids ids
           SET docto_transporte_id = COALESCE(ids.docto_transporte_id, 0) + 1,
               log_sistema_id = COALESCE(ids.log_sistema_id, 0) + 1
        RETURNING ids.docto_transporte_id, ids.log_sistema_id INTO v_docto_transporte_id, v_log_id;
        IF NOT FOUND THEN
            RETURN QUERY SELECT 1, 'Não há registro no banco de dados na tabela Infra_ids. '::VARCHAR,
                                NULL::INTEGER;
            RETURN;
        END IF;
        INSERT INTO docto_transporte (docto_transporte_id, empresa_id, num_docto_transporte,
                                      ponto_operacao_id, tab_tipo_cobranca_id, cliente_id,
                                      end_destinatario_id, end_remetente_id, origem_id, destino_id,
                                      peso_real, val_declarado, data_emissao,
                                      ponto_operacao_destino_id, tab_tipo_despacho_id,
                                      tab_sit_entrega_id, num_volume, tab_tipo_docto_transp_id,
                                      tab_status_id)
        VALUES (v_docto_transporte_id, p_empresa_id, p_num_docto_transporte,
                p_ponto_operacao_id, p_tab_tipo_cobranca_id, p_cliente_id,
                p_end_destinatario_id, p_end_remetente_id, p_origem_id, p_destino_id,
                p_peso_real, p_val_declarado, p_data_emissao,
                p_ponto_operacao_destino_id, p_tab_tipo_despacho_id,
                p_tab_sit_entrega_id, p_num_volume, p_tab_tipo_docto_transp_id,
                1);
        INSERT INTO log_sistema (log_sistema_id, tabela_sistema_id, tab_tipo_acao_id, usuario_id,
                                 registro_id, data_log)
        VALUES (v_log_id, 13, 1, NULL, v_docto_transporte_id, LOCALTIMESTAMP(0));
    EXCEPTION WHEN unique_violation THEN
        GET STACKED DIAGNOSTICS v_constraint = CONSTRAINT_NAME;
        IF v_constraint IS DISTINCT FROM 'ux_docto_transporte_num' THEN
            RAISE;
        END IF;
        RETURN QUERY SELECT 1, 'Já existe um conhecimento com esse número.'::VARCHAR, NULL::INTEGER;
        RETURN;
    END;
    RETURN QUERY SELECT 0, ''::VARCHAR, v_docto_transporte_id;
END
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_ALT_CAD_Docto_Transporte4 p_docto_transporte_id, p_empresa_id,
--     p_num_docto_transporte, p_ponto_operacao_id, p_tab_tipo_cobranca_id,
--     p_cliente_id, p_end_destinatario_id, p_end_remetente_id, p_origem_id,
--     p_destino_id, p_peso_real, p_val_declarado, p_data_emissao,
--     p_ponto_operacao_destino_id, p_tab_tipo_despacho_id, p_num_volume,
--     p_tab_tipo_docto_transp_id
-- Rewrites a live transport document (the delivery status stays as it is).
-- The document may keep its own number, but not take one another live
-- document of the branch holds: then nothing is written, also when the
-- unique index finds that holder written at the same time. The rewrite is
-- audited in log_sistema (table 13, action 2, the document) as the inline
-- path does; without the INFRA_IDS row nothing is written.
-- Answers one row (retorno, msg_ret): 0 and '', or 1 and the message.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_alt_cad_docto_transporte4(p_docto_transporte_id       INTEGER,
                                                            p_empresa_id                INTEGER,
                                                            p_num_docto_transporte      INTEGER,
                                                            p_ponto_operacao_id         INTEGER,
                                                            p_tab_tipo_cobranca_id      INTEGER,
                                                            p_cliente_id                INTEGER,
                                                            p_end_destinatario_id       INTEGER,
                                                            p_end_remetente_id          INTEGER,
                                                            p_origem_id                 INTEGER,
                                                            p_destino_id                INTEGER,
                                                            p_peso_real                 NUMERIC,
                                                            p_val_declarado             NUMERIC,
                                                            p_data_emissao              TIMESTAMP,
                                                            p_ponto_operacao_destino_id INTEGER,
                                                            p_tab_tipo_despacho_id      INTEGER,
                                                            p_num_volume                INTEGER,
                                                            p_tab_tipo_docto_transp_id  INTEGER)
    RETURNS TABLE (retorno INTEGER,
                   msg_ret VARCHAR)
    LANGUAGE plpgsql
AS $$
DECLARE
    v_log_id     INTEGER;
    v_constraint TEXT;
BEGIN
    -- Locked, so that a delete at the same time waits for the rewrite.
    PERFORM 1
       FROM docto_transporte doc
      WHERE doc.docto_transporte_id = p_docto_transporte_id
        AND doc.tab_status_id = 1
        FOR UPDATE;
    IF NOT FOUND THEN
        RETURN QUERY SELECT 1, 'Conhecimento não cadastrado.'::VARCHAR;
        RETURN;
    END IF;
    IF EXISTS (SELECT 1
                 FROM docto_transporte other
                WHERE other.ponto_operacao_id = p_ponto_operacao_id
                  AND other.num_docto_transporte IS NOT DISTINCT FROM p_num_docto_transporte
                  AND other.docto_transporte_id <> p_docto_transporte_id
                  AND other.tab_status_id = 1) THEN
        RETURN QUERY SELECT 1, 'Já existe um conhecimento com esse número.'::VARCHAR;
        RETURN;
    END IF;
    BEGIN
        UPDATE docto_transporte doc
           SET empresa_id                = p_empresa_id,
               num_docto_transporte      = p_num_docto_transporte,
               ponto_operacao_id         = p_ponto_operacao_id,
               tab_tipo_cobranca_id      = p_tab_tipo_cobranca_id,
               cliente_id                = p_cliente_id,
               end_destinatario_id       = p_end_destinatario_id,
               end_remetente_id          = p_end_remetente_id,
               origem_id                 = p_origem_id,
               destino_id                = p_destino_id,
               peso_real                 = p_peso_real,
               val_declarado             = p_val_declarado,
               data_emissao              = p_data_emissao,
               ponto_operacao_destino_id = p_ponto_operacao_destino_id,
               tab_tipo_despacho_id      = p_tab_tipo_despacho_id,
               num_volume                = p_num_volume,
               tab_tipo_docto_transp_id  = p_tab_tipo_docto_transp_id
         WHERE doc.docto_transporte_id = p_docto_transporte_id;
        UPDATE infra_ids ids
           SET log_sistema_id = COALESCE(ids.log_sistema_id, 0) + 1
        RETURNING ids.log_sistema_id INTO v_log_id;
        IF NOT FOUND THEN
            RAISE EXCEPTION USING ERRCODE = 'no_data_found';
        END IF;
        INSERT INTO log_sistema (log_sistema_id, tabela_sistema_id, tab_tipo_acao_id, usuario_id,
                                 registro_id, data_log)
        VALUES (v_log_id, 13, 2, NULL, p_docto_transporte_id, LOCALTIMESTAMP(0));
    EXCEPTION WHEN no_data_found THEN
        RETURN QUERY SELECT 1, 'Não há registro no banco de dados na tabela Infra_ids. '::VARCHAR;
        RETURN;
    WHEN unique_violation THEN
        GET STACKED DIAGNOSTICS v_constraint = CONSTRAINT_NAME;
        IF v_constraint IS DISTINCT FROM 'ux_docto_transporte_num' THEN
            RAISE;
        END IF;
        RETURN QUERY SELECT 1, 'Já existe um conhecimento com esse número.'::VARCHAR;
        RETURN;
    END;
    RETURN QUERY SELECT 0, ''::VARCHAR;
END
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_EXC_CAD_Docto_Transporte p_docto_transporte_id
-- Marks a transport document deleted (status 2), which frees its number.
-- Its invoices stay as they are.
-- Answers one row (retorno, msg_ret): 0 and '', also for a document that
-- does not exist or is already deleted.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_exc_cad_docto_transporte(p_docto_transporte_id INTEGER)
    RETURNS TABLE (retorno INTEGER,
                   msg_ret VARCHAR)
    LANGUAGE plpgsql
AS $$
BEGIN
    UPDATE docto_transporte doc
       SET tab_status_id = 2
     WHERE doc.docto_transporte_id = p_docto_transporte_id;
    RETURN QUERY SELECT 0, ''::VARCHAR;
END
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_EXC_NF_Conhec2 p_docto_transporte_id, p_usuario_internet_id
-- Marks every invoice of a transport document deleted (status 2), whatever
-- its company and status. The user is not used.
-- Answers one row (retorno, msg_ret): 0 and ''.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_exc_nf_conhec2(p_docto_transporte_id INTEGER,
                                                 p_usuario_internet_id INTEGER)
    RETURNS TABLE (retorno INTEGER,
                   msg_ret VARCHAR)
    LANGUAGE plpgsql
AS $$
BEGIN
    UPDATE nota_fiscal nf
       SET tab_status_id = 2
     WHERE nf.docto_transporte_id = p_docto_transporte_id;
    RETURN QUERY SELECT 0, ''::VARCHAR;
END
$$;

-- ---------------------------------------------------------------------------
-- SP_TMX_INC_NF_Conhec2 p_empresa_id, p_nota_fiscal, p_conteudo,
--                       p_val_declarado, p_num_volume, p_docto_transporte_id
-- Adds a live invoice to a transport document. Its identifier is the next
-- value of infra_ids.nota_fiscal_id (a NULL counter counts as 0). The
-- counter row stays locked until the call ends, so calls at once take
-- distinct identifiers. The insert is audited in log_sistema (table 37,
-- action 1, the new identifier) as the inline path does. Without the
-- INFRA_IDS row nothing is written.
-- Answers one row (retorno, msg_ret): 0 and '', or 1 and the message.
-- ---------------------------------------------------------------------------
CREATE OR REPLACE FUNCTION sp_tmx_inc_nf_conhec2(p_empresa_id          INTEGER,
                                                 p_nota_fiscal         VARCHAR,
                                                 p_conteudo            VARCHAR,
                                                 p_val_declarado       NUMERIC,
                                                 p_num_volume          INTEGER,
                                                 p_docto_transporte_id INTEGER)
    RETURNS TABLE (retorno INTEGER,
                   msg_ret VARCHAR)
    LANGUAGE plpgsql
AS $$
DECLARE
    v_nota_fiscal_id INTEGER;
    v_log_id         INTEGER;
BEGIN
    UPDATE infra_ids ids
       SET nota_fiscal_id = COALESCE(ids.nota_fiscal_id, 0) + 1,
           log_sistema_id = COALESCE(ids.log_sistema_id, 0) + 1
    RETURNING ids.nota_fiscal_id, ids.log_sistema_id INTO v_nota_fiscal_id, v_log_id;
    IF NOT FOUND THEN
        RETURN QUERY SELECT 1, 'Não há registro no banco de dados na tabela Infra_ids. '::VARCHAR;
        RETURN;
    END IF;
    INSERT INTO nota_fiscal (nota_fiscal_id, empresa_id, docto_transporte_id, nota_fiscal,
                             conteudo, val_declarado, num_volume, tab_status_id)
    VALUES (v_nota_fiscal_id, p_empresa_id, p_docto_transporte_id, p_nota_fiscal,
            p_conteudo, p_val_declarado, p_num_volume, 1);
    INSERT INTO log_sistema (log_sistema_id, tabela_sistema_id, tab_tipo_acao_id, usuario_id,
                             registro_id, data_log)
    VALUES (v_log_id, 37, 1, NULL, v_nota_fiscal_id, LOCALTIMESTAMP(0));
    RETURN QUERY SELECT 0, ''::VARCHAR;
END
$$;
